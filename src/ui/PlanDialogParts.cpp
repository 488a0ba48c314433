#include "ui/PlanDialogParts.h"

#include "ui/PlanAgendaPreview.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace quintara::ui {

namespace {

QString Tr(const char *text)
{
    return QCoreApplication::translate("PlanDialog", text);
}

} // namespace

PlanPreviewTabs MakePlanPreviewTabs(const LineDescriber &describer, QWidget *parent)
{
    PlanPreviewTabs parts;
    parts.tabs = new QTabWidget(parent);
    parts.lines = new QPlainTextEdit(parts.tabs);
    parts.lines->setReadOnly(true);
    parts.lines->setAccessibleName(Tr("Lines the plan writes"));
    parts.lines->setLineWrapMode(QPlainTextEdit::NoWrap);
    parts.tabs->addTab(parts.lines, Tr("&Lines"));
    parts.agenda = new PlanAgendaPreview(describer, parts.tabs);
    parts.tabs->addTab(parts.agenda, Tr("A&genda"));
    return parts;
}

PlanDialogFoot AddPlanDialogFoot(QDialog &dialog, QVBoxLayout &column)
{
    PlanDialogFoot foot;
    foot.summary = new QLabel(&dialog);
    foot.summary->setWordWrap(true);
    foot.summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column.addWidget(foot.summary);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, &dialog);
    foot.apply = buttons->addButton(Tr("&Apply"), QDialogButtonBox::AcceptRole);
    foot.apply->setObjectName(QStringLiteral("cmdApplyPlan"));
    column.addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return foot;
}

QLabel *MakeRefusalLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QStringLiteral("lblRefusal"));
    label->setWordWrap(true);
    label->setStyleSheet(QStringLiteral("color: #a00000"));
    return label;
}

} // namespace quintara::ui

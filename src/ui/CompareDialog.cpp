#include "ui/CompareDialog.h"

#include "clock/ClockTable.h"
#include "presentation/LineDescriber.h"
#include "presentation/TableDiffText.h"
#include "settings/Strings.h"
#include "ui/Mnemonics.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quintara::ui {

namespace {

constexpr int TitleId = 2491;
constexpr int LineId = 2492;
constexpr int FreeId = 2493;
constexpr int SameId = 2494;
constexpr int DifferId = 2495;
constexpr int DiffersOneId = 2395;
constexpr int ModelsId = 2496;
constexpr int MineId = 2497;

QString Summary(const LineDescriber &describer, const clock::ClockLine &line)
{
    return QStringLiteral("%1 %2  %3  %4  %5")
        .arg(LineDescriber::timeText(line), describer.dateText(line), describer.repeatText(line),
             describer.functionText(line).simplified(), describer.levelText(line));
}

} // namespace

CompareDialog::CompareDialog(const clock::TableDiff &diff, const clock::ClockTable &mine,
                             const clock::ClockTable &other, const QString &otherName,
                             const LineDescriber &describer, QWidget *parent,
                             const QString &mineName)
    : QDialog(parent)
{
    const settings::Strings &strings = describer.strings();
    setObjectName(QStringLiteral("CompareDialog"));
    setWindowTitle(strings.GetResString(TitleId) + QStringLiteral(" - ") + otherName);
    auto *column = new QVBoxLayout(this);
    QStringList summary;
    if (diff.models)
        summary << strings.GetResString(ModelsId).arg(diff.models->first).arg(diff.models->second);
    if (diff.lines.isEmpty())
        summary << strings.GetResString(SameId);
    else if (diff.lines.size() == 1)
        summary << strings.GetResString(DiffersOneId);
    else
        summary << strings.GetResString(DifferId).arg(diff.lines.size());
    auto *label = new QLabel(summary.join(u' '), this);
    label->setObjectName(QStringLiteral("LblSummary"));
    label->setWordWrap(true);
    column->addWidget(label);

    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("TreeDifferences"));
    m_tree->setHeaderLabels(
        {strings.GetResString(LineId), mineName.isEmpty() ? strings.GetResString(MineId) : mineName,
         otherName});
    m_tree->setRootIsDecorated(true);
    m_tree->setAlternatingRowColors(true);
    const QString free = strings.GetResString(FreeId);
    QFont bold = font();
    bold.setBold(true);
    const QColor marked(255, 236, 150);
    for (const clock::LineDifference &difference : diff.lines) {
        const clock::ClockLine &a = mine.Lines[std::size_t(difference.line)];
        const clock::ClockLine &b = other.Lines[std::size_t(difference.line)];
        auto *row = new QTreeWidgetItem(m_tree);
        row->setText(0, QString::number(difference.line));
        row->setText(1, a.inUse() ? Summary(describer, a) : free);
        row->setText(2, b.inUse() ? Summary(describer, b) : free);
        if (difference.kind != clock::LineDifference::Kind::Changed) {
            // The side that holds the line is what differs.
            const int side = difference.kind == clock::LineDifference::Kind::OnlyInA ? 1 : 2;
            row->setFont(side, bold);
            row->setBackground(side, marked);
        }
        for (const clock::FieldDifference &field : difference.fields) {
            auto *child = new QTreeWidgetItem(row);
            child->setText(0, LineFieldText(field.field, strings));
            child->setText(1, QString::number(field.a));
            child->setText(2, QString::number(field.b));
            for (const int side : {1, 2}) {
                child->setFont(side, bold);
                child->setBackground(side, marked);
            }
        }
        row->setExpanded(true);
    }
    m_tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    column->addWidget(m_tree, 1);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
    resize(900, 480);
    AssignMnemonics(*this);
}

} // namespace quintara::ui

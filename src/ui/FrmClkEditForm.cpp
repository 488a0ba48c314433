// The clock line editor's form: its controls, their layout, tab order and connections.
#include "ui/FrmClkEdit.h"

#include "clock/ClockTable.h"
#include "presentation/DateText.h"
#include "ui/TimeField.h"
#include "ui/TypeAheadCombo.h"
#include "ui/UpDown.h"
#include "ui/Program.h"

#include <QButtonGroup>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace quintara::ui {

namespace {

QString DatePickerFormat()
{
    return DateText().format();
}

QLabel *NamedLabel(QWidget *parent, const char *name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

// The widgets side by side, at the spacing given (the style's when negative), the rest of the
// row left empty.
QHBoxLayout *Row(std::initializer_list<QWidget *> widgets, int spacing = -1)
{
    auto *row = new QHBoxLayout;
    if (spacing >= 0)
        row->setSpacing(spacing);
    for (QWidget *widget : widgets)
        row->addWidget(widget);
    row->addStretch(1);
    return row;
}

} // namespace

void FrmClkEdit::buildForm()
{
    QHBoxLayout *tableRow = buildTableChoice();
    buildFunctionChoice();
    QHBoxLayout *levelRow = buildLevelField();
    buildMomentFields();
    QHBoxLayout *repeatRow = buildRepeatFields();
    QHBoxLayout *buttons = buildPreviewAndButtons();

    // Labels left, controls right; the state picture beside the function it belongs to.
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    int row = 0;
    grid->addWidget(m_lblTabel, row, 0);
    grid->addLayout(tableRow, row++, 1, 1, 2);
    grid->addWidget(m_lblFnc, row, 0);
    grid->addWidget(m_cboFnc, row, 1);
    grid->addWidget(m_vlag, row++, 2, 3, 1, Qt::AlignTop | Qt::AlignHCenter);
    grid->addWidget(m_lblLd, row, 0);
    grid->addWidget(m_cboLd, row++, 1);
    grid->addWidget(m_lblLvl, row, 0);
    grid->addLayout(levelRow, row++, 1);
    grid->addWidget(m_lblTijd, row, 0);
    grid->addLayout(Row({m_timePic}), row++, 1, 1, 2);
    grid->addWidget(m_lblDate, row, 0);
    grid->addLayout(Row({m_datePic}), row++, 1, 1, 2);
    grid->addWidget(m_lblRepeat, row, 0);
    grid->addLayout(repeatRow, row++, 1, 1, 2);
    grid->setColumnStretch(1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(4);
    layout->addWidget(m_txtPrv, 1);
    layout->addLayout(buttons);

    // Screen readers name each control by its caption.
    m_lblFnc->setBuddy(m_cboFnc);
    m_lblLd->setBuddy(m_cboLd);
    m_lblLvl->setBuddy(m_txtLvl);
    m_lblTijd->setBuddy(m_timePic);
    m_lblDate->setBuddy(m_datePic);
    m_lblRepeat->setBuddy(m_cboRepeat);
    arrangeTabOrder();
    connectForm();
}

QHBoxLayout *FrmClkEdit::buildTableChoice()
{
    m_lblTabel = NamedLabel(this, "LblTabel");
    m_tables = new QButtonGroup(this);
    auto *tableRow = new QHBoxLayout;
    tableRow->setSpacing(12);
    for (int i = 0; i < clock::TableKindCount; ++i) {
        auto *option = new QRadioButton(this);
        option->setObjectName(QStringLiteral("OptTabel_%1").arg(i));
        m_tables->addButton(option, i);
        m_optTabel[static_cast<std::size_t>(i)] = option;
        tableRow->addWidget(option);
    }
    tableRow->addStretch(1);
    return tableRow;
}

void FrmClkEdit::buildFunctionChoice()
{
    m_lblFnc = NamedLabel(this, "LblFnc");
    m_cboFnc = new TypeAheadCombo(this);
    m_cboFnc->setObjectName(QStringLiteral("CboFnc"));
    m_lblLd = NamedLabel(this, "LblLd");
    m_cboLd = new TypeAheadCombo(this);
    m_cboLd->setObjectName(QStringLiteral("CboLd"));
    // Long names must not make the dialog as wide as the screen.
    for (QComboBox *list : {m_cboFnc, m_cboLd}) {
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        list->setMinimumContentsLength(30);
        list->setMaxVisibleItems(20);
    }
    m_vlag = new QLabel(this);
    m_vlag->setObjectName(QStringLiteral("VLAG"));
    m_vlag->setFixedSize(StatePictureSize + 8, StatePictureSize + 8);
    m_vlag->setAlignment(Qt::AlignCenter);
    m_vlag->setFrameShape(QFrame::StyledPanel);
}

QHBoxLayout *FrmClkEdit::buildLevelField()
{
    m_lblLvl = NamedLabel(this, "LblLvl");
    m_txtLvl = new QLineEdit(this);
    m_txtLvl->setObjectName(QStringLiteral("TxtLvl"));
    m_txtLvl->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 14);
    m_updLvl = new UpDown(this);
    m_updLvl->setObjectName(QStringLiteral("UpdLvl"));
    m_updLvl->setButtonHeight(m_txtLvl->sizeHint().height());
    return Row({m_txtLvl, m_updLvl}, 2);
}

void FrmClkEdit::buildMomentFields()
{
    m_lblTijd = NamedLabel(this, "LblTijd");
    m_timePic = new TimeField(this);
    m_timePic->setObjectName(QStringLiteral("TimePic"));
    m_lblDate = NamedLabel(this, "LblDate");
    m_datePic = new QDateEdit(this);
    m_datePic->setObjectName(QStringLiteral("DatePic"));
    m_datePic->setCalendarPopup(true);
    m_datePic->setDisplayFormat(DatePickerFormat());
    // Weeks begin on Monday everywhere in the program.
    m_datePic->calendarWidget()->setFirstDayOfWeek(Qt::Monday);
}

QHBoxLayout *FrmClkEdit::buildRepeatFields()
{
    m_lblRepeat = NamedLabel(this, "LblRepeat");
    m_cboRepeat = new QComboBox(this);
    m_cboRepeat->setObjectName(QStringLiteral("CboRepeat"));
    // The unit names are padded with blanks; the padding must not widen the list.
    m_cboRepeat->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_cboRepeat->setMinimumContentsLength(14);
    m_txtRepeat = new QLineEdit(this);
    m_txtRepeat->setObjectName(QStringLiteral("TxtRepeat"));
    m_txtRepeat->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 6);
    m_updRepeat = new UpDown(this);
    m_updRepeat->setObjectName(QStringLiteral("UpdRepeat"));
    m_updRepeat->setButtonHeight(m_txtRepeat->sizeHint().height());
    auto *repeatRow = new QHBoxLayout;
    repeatRow->setSpacing(2);
    repeatRow->addWidget(m_cboRepeat);
    repeatRow->addSpacing(6);
    repeatRow->addWidget(m_txtRepeat);
    repeatRow->addWidget(m_updRepeat);
    repeatRow->addStretch(1);
    return repeatRow;
}

QHBoxLayout *FrmClkEdit::buildPreviewAndButtons()
{
    m_txtPrv = new QPlainTextEdit(this);
    m_txtPrv->setObjectName(QStringLiteral("TxtPrv"));
    m_txtPrv->setReadOnly(true);
    m_txtPrv->setTabChangesFocus(true);
    m_txtPrv->setFocusPolicy(Qt::ClickFocus);
    m_txtPrv->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_txtPrv->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_txtPrv->setMinimumHeight(fontMetrics().lineSpacing() * 7);

    m_cmdOK = new QPushButton(this);
    m_cmdOK->setObjectName(QStringLiteral("CmdOK"));
    // Enter confirms, unless the focus is on Cancel.
    m_cmdOK->setDefault(true);
    m_cmdCancel = new QPushButton(this);
    m_cmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdCancel);
    return buttons;
}

void FrmClkEdit::connectForm()
{
    connect(m_cboFnc, &QComboBox::currentIndexChanged, this, [this] { functionTypeChosen(); });
    connect(m_cboLd, &QComboBox::currentIndexChanged, this, [this] { functionChosen(); });
    connect(m_cboRepeat, &QComboBox::currentIndexChanged, this, [this] { repeatUnitChosen(); });
    connect(m_tables, &QButtonGroup::idClicked, this, [this] { ShowSetting(); });
    connect(m_txtRepeat, &QLineEdit::textChanged, this, [this] { ShowSetting(); });
    connect(m_updLvl, &UpDown::up, this, [this] { stepLevel(StepDirection::Up); });
    connect(m_updLvl, &UpDown::down, this, [this] { stepLevel(StepDirection::Down); });
    connect(m_updRepeat, &UpDown::up, this, [this] { stepRepeat(StepDirection::Up); });
    connect(m_updRepeat, &UpDown::down, this, [this] { stepRepeat(StepDirection::Down); });
    connect(m_timePic, &TimeField::refused, this, [this] { m_program.prompter.beep(); });
    connect(m_cmdOK, &QPushButton::clicked, this, &FrmClkEdit::accept);
    connect(m_cmdCancel, &QPushButton::clicked, this, &FrmClkEdit::reject);
    m_txtLvl->installEventFilter(this);
    m_txtRepeat->installEventFilter(this);
}

void FrmClkEdit::arrangeTabOrder()
{
    // Top to bottom as the form reads; of the day-table buttons only the chosen one takes Tab,
    // the arrow keys move between them.
    QWidget *order[] = {m_optTabel[0], m_optTabel[1], m_optTabel[2], m_optTabel[3], m_optTabel[4],
                        m_cboFnc,      m_cboLd,       m_txtLvl,      m_timePic,     m_datePic,
                        m_cboRepeat,   m_txtRepeat,   m_txtPrv,      m_cmdOK,       m_cmdCancel};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace quintara::ui

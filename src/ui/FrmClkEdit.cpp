#include "ui/FrmClkEdit.h"

#include "clock/ClockTable.h"
#include "clock/Occurrences.h"
#include "presentation/DateText.h"
#include "presentation/FunctionPresenter.h"
#include "settings/TextIds.h"
#include "ui/FormTranslation.h"
#include "ui/Program.h"
#include "ui/TimeField.h"
#include "ui/UpDown.h"
#include "ui/WaitPointer.h"

#include <QButtonGroup>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSvgRenderer>
#include <QToolButton>

namespace quintara::ui {

namespace {

constexpr int FunctionListMode = 2;
constexpr int CountId = 2440;
constexpr int UpId = 2441;
constexpr int DownId = 2442;
constexpr int DetailsId = 2443;
constexpr int StatePictureId = 2444;
constexpr int FunctionListDetail = 2;

constexpr int LevelMin = 0;
constexpr int LevelMax = 100;
// A count of 0 would give a repeating line no step at all, so the field never holds one.
constexpr int RepeatMin = 1;
constexpr int RepeatMax = 100;

constexpr int WeeksBack = 30;
constexpr int WeeksSpan = 70;

bool IsSensorType(int type)
{
    return type >= 21 && type <= 27;
}

bool IsAudioType(int type)
{
    return type >= 32 && type <= 49;
}

// Selects the combo box entry that SelectByItemData picks; answers its index or -1.
int SelectEntry(QComboBox &combo, int value)
{
    ItemList list;
    for (int i = 0; i < combo.count(); ++i)
        list.add(combo.itemText(i), combo.itemData(i).toInt());
    const int index = SelectByItemData(list, value);
    if (index >= 0)
        combo.setCurrentIndex(index);
    return index;
}

void FillCombo(QComboBox &combo, const ItemList &list)
{
    const QSignalBlocker blocker(combo);
    combo.clear();
    for (const ListEntry &entry : list.entries)
        combo.addItem(entry.text, entry.itemData);
    // The list starts without a choice, as the user has made none yet.
    combo.setCurrentIndex(-1);
}

} // namespace

bool FrmClkEdit::Edit(Program &program, int editMode, QWidget *parent)
{
    if (!program.clockTable.selectedIndex())
        return false;
    FrmClkEdit dialog(program, editMode, parent);
    return dialog.exec() == QDialog::Accepted;
}

FrmClkEdit::FrmClkEdit(Program &program, int editMode, QWidget *parent)
    : QDialog(parent), m_program(program), m_formatter(program.strings),
      m_presenter(program.project, program.names, program.strings, m_formatter),
      m_editMode(editMode)
{
    setObjectName(QStringLiteral("FrmClkEdit"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    const std::optional<int> index = program.clockTable.selectedIndex();
    if (!index)
        return;
    m_index = *index;

    const WaitPointer wait;
    buildForm();
    TranslateForm(*this, program.strings);
    nameControls();
    loadLine(program.clockTable.Lines[static_cast<std::size_t>(m_index)]);
    // Centred at the size the translated texts and the line's controls give it.
    adjustSize();
    CentreForm(*this);
}

FrmClkEdit::~FrmClkEdit() = default;

void FrmClkEdit::nameControls()
{
    // Screen readers need a name where the form shows an abbreviation, arrows or a picture.
    const auto text = [this](int id) { return m_program.strings.GetResString(id).trimmed(); };
    const auto caption = [](const QLabel *label) {
        return label->text().remove(u'&').remove(u':').trimmed();
    };
    for (int i = 0; i < clock::TableKindCount; ++i) {
        QRadioButton *option = m_optTabel[static_cast<std::size_t>(i)];
        option->setAccessibleName(text(clock::TableKindNameIds[i]));
        option->setAccessibleDescription(caption(m_lblTabel));
    }
    const QString count = caption(m_lblRepeat) + QStringLiteral(" – ") + text(CountId);
    m_txtRepeat->setAccessibleName(count);
    for (const auto &[arrows, field] : {std::pair{m_updLvl, caption(m_lblLvl)}, {m_updRepeat, count}}) {
        arrows->upButton()->setAccessibleName(field + u' ' + text(UpId));
        arrows->downButton()->setAccessibleName(field + u' ' + text(DownId));
    }
    m_txtPrv->setAccessibleName(text(DetailsId));
    m_vlag->setAccessibleName(text(StatePictureId));
}

void FrmClkEdit::loadLine(const clock::ClockLine &line)
{
    for (int unit = 0; unit < clock::RepeatUnitCount; ++unit)
        m_cboRepeat->addItem(m_program.names.repeatName(unit));
    m_cboRepeat->setCurrentIndex(-1);
    ItemList types;
    m_presenter.FillFunctionTypeList(types);
    FillCombo(*m_cboFnc, types);

    // A table or unit byte beyond the known ones (only a foreign file holds one) behaves like
    // the continuous table and a single occurrence; show it as such.
    const int table = line.Table < clock::TableKindCount ? line.Table : int(clock::Continue);
    m_optTabel[static_cast<std::size_t>(table)]->setChecked(true);

    m_level.tag = WriteTag({line.Level, line.FunctionType}, ValueKind::Level);
    applyLevel();
    m_repeat.tag = QString::number(line.RepeatCount);
    applyRepeat();

    m_cboRepeat->setCurrentIndex(line.RepeatUnit < clock::RepeatUnitCount ? int(line.RepeatUnit)
                                                                          : int(clock::Once));

    const QDate today = m_program.clock.now().date();
    QDate reference = clock::ReferenceDate(line, clock::YearWindow::around(today));
    setDateRange(reference);
    if (!reference.isValid())
        reference = clock::CurrentMonday(today).date();
    m_datePic->setDate(reference);
    const QTime time(line.Hour, line.Minute);
    m_timePic->setTime(time.isValid() ? time : QTime(0, 0));

    // Choosing the type fills the function list; choosing the function shows its level and
    // definition.
    if (SelectEntry(*m_cboFnc, FunctionPresenter::TypeListEntryFor(line.FunctionType)) >= 0)
        SelectEntry(*m_cboLd, clock::FunctionReference(line.FunctionType, line.FunctionNumber));
    ShowSetting();
}

void FrmClkEdit::setDateRange(QDate reference)
{
    // Thirty weeks back to forty ahead; a line already outside keeps its own date, so opening
    // and confirming never moves it unasked.
    const QDate today = m_program.clock.now().date();
    QDate earliest = today.addDays(-7 * WeeksBack);
    QDate latest = earliest.addDays(7 * WeeksSpan);
    if (reference.isValid()) {
        earliest = std::min(earliest, reference);
        latest = std::max(latest, reference);
    }
    // Only the years a two-digit year reads back as can be stored.
    const clock::YearWindow years = clock::YearWindow::around(today);
    const QDate firstStorable(years.firstYear(), 1, 1);
    const QDate lastStorable(years.lastYear(), 12, 31);
    m_earliest = std::clamp(earliest, firstStorable, lastStorable);
    m_latest = std::clamp(latest, m_earliest, lastStorable);
    // The picker itself takes any storable date, so that a date typed day first is not pulled
    // into the range while its month and year are still to come; OK holds the range.
    m_datePic->setDateRange(firstStorable, lastStorable);
}

QDate FrmClkEdit::earliestDate() const
{
    return m_earliest;
}

QDate FrmClkEdit::latestDate() const
{
    return m_latest;
}

int FrmClkEdit::levelTag() const
{
    return m_level.tag.toInt();
}

int FrmClkEdit::repeatTag() const
{
    return m_repeat.tag.toInt();
}

int FrmClkEdit::chosenType() const
{
    return m_cboFnc->currentIndex() >= 0 ? m_cboFnc->currentData().toInt() & 0xFF : -1;
}

int FrmClkEdit::chosenFunction() const
{
    return m_cboLd->currentIndex() >= 0 ? m_cboLd->currentData().toInt() : -1;
}

int FrmClkEdit::chosenTable() const
{
    const int id = m_tables->checkedId();
    return id >= 0 ? id : clock::Continue;
}

void FrmClkEdit::functionTypeChosen()
{
    ItemList functions;
    const int type = chosenType();
    if (type >= 0)
        m_presenter.FillFunctionList(functions, type, FunctionListMode, false, FunctionListDetail);
    FillCombo(*m_cboLd, functions);
    m_txtPrv->clear();
    ShowSetting();
}

void FrmClkEdit::functionChosen()
{
    const int reference = chosenFunction();
    if (reference < 0 || chosenType() < 0)
        return;
    const int type = chosenType();
    const int number = reference & 0xFF;

    // The kept level, shown in the terms of the new type.
    m_txtLvl->setEnabled(true);
    m_updLvl->setEnabled(true);
    const FieldState kept = ReadTag(m_level.tag, ValueKind::Level);
    m_level.tag = WriteTag({kept.raw, type}, ValueKind::Level);
    m_level.text.clear();
    int min = LevelMin;
    int max = LevelMax;
    m_formatter.ApplyTypedValue(m_level, ValueKind::Level, min, max);
    m_txtLvl->setText(m_level.text);

    ShowSetting();
    m_txtPrv->setPlainText(m_presenter.DescribeDefinition(type, number));
}

void FrmClkEdit::repeatUnitChosen()
{
    ShowSetting();
}

void FrmClkEdit::applyLevel()
{
    m_level.text = m_txtLvl->text();
    int min = LevelMin;
    int max = LevelMax;
    m_formatter.ApplyTypedValue(m_level, ValueKind::Level, min, max);
    m_txtLvl->setText(m_level.text);
}

void FrmClkEdit::applyRepeat()
{
    m_repeat.text = m_txtRepeat->text();
    int min = RepeatMin;
    int max = RepeatMax;
    m_formatter.ApplyTypedValue(m_repeat, ValueKind::Number, min, max);
    m_txtRepeat->setText(m_repeat.text);
}

void FrmClkEdit::stepLevel(StepDirection direction)
{
    m_level.text = m_txtLvl->text();
    int min = LevelMin;
    int max = LevelMax;
    m_formatter.StepValue(direction, m_level, ValueKind::Level, min, max);
    m_txtLvl->setText(m_level.text);
    ShowSetting();
}

void FrmClkEdit::stepRepeat(StepDirection direction)
{
    m_repeat.text = m_txtRepeat->text();
    int min = RepeatMin;
    int max = RepeatMax;
    m_formatter.StepValue(direction, m_repeat, ValueKind::Number, min, max);
    m_txtRepeat->setText(m_repeat.text);
}

bool FrmClkEdit::eventFilter(QObject *watched, QEvent *event)
{
    const bool level = watched == m_txtLvl;
    const bool repeat = watched == m_txtRepeat;
    if (!level && !repeat)
        return QDialog::eventFilter(watched, event);

    if (event->type() == QEvent::FocusOut) {
        // A field hidden meanwhile keeps the value it was given, not its stale text.
        if (level && !m_txtLvl->isHidden()) {
            applyLevel();
            ShowSetting();
        } else if (repeat && !m_txtRepeat->isHidden()) {
            applyRepeat();
        }
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            const StepDirection direction =
                key == Qt::Key_Up ? StepDirection::Up : StepDirection::Down;
            if (level)
                stepLevel(direction);
            else
                stepRepeat(direction);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmClkEdit::setStatePicture(int picture)
{
    if (picture == m_statePicture)
        return;
    m_statePicture = picture;
    if (picture <= 0) {
        m_vlag->clear();
        return;
    }
    QSvgRenderer renderer(QStringLiteral(":/quintara/pictures/vlag-%1.svg").arg(picture));
    const qreal ratio = devicePixelRatioF();
    QPixmap pixmap(QSize(StatePictureSize, StatePictureSize) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(0, 0, StatePictureSize, StatePictureSize));
    painter.end();
    m_vlag->setPixmap(pixmap);
}

void FrmClkEdit::ShowSetting()
{
    if (!hasLine())
        return;

    if (m_cboFnc->currentIndex() < 0 || m_cboLd->currentIndex() < 0) {
        for (QWidget *w : {static_cast<QWidget *>(m_lblLvl), static_cast<QWidget *>(m_txtLvl),
                           static_cast<QWidget *>(m_updLvl), static_cast<QWidget *>(m_vlag)})
            w->setVisible(false);
        setStatePicture(0);
    } else {
        const int type = (chosenFunction() >> 8) & 0xFF;
        const int level = ReadTag(m_level.tag, ValueKind::Level).raw & 0xFF;
        // Functions without a level run at full value.
        bool showLevel = false;
        int picture = 1;
        if (IsSensorType(type))
            picture = type == 24 ? 9 : type == 25 ? 8 : type == 26 ? 7 : 6;
        else if (IsAudioType(type))
            picture = 5;
        else if (type == project::FunctionType::Buzzer)
            showLevel = true, picture = 3;
        else if (type == project::FunctionType::Message)
            picture = 4;
        else if (type == project::FunctionType::GeneralMood)
            picture = 1;
        else
            showLevel = true, picture = level != 0 ? 1 : 2;
        if (!showLevel)
            m_level.tag = WriteTag({255, type}, ValueKind::Level);
        m_lblLvl->setVisible(showLevel);
        m_txtLvl->setVisible(showLevel);
        m_updLvl->setVisible(showLevel);
        m_vlag->setVisible(true);
        setStatePicture(picture);
    }

    const int table = chosenTable();
    if (table == clock::Workday || table == clock::Weekend) {
        for (QWidget *w :
             {static_cast<QWidget *>(m_lblDate), static_cast<QWidget *>(m_datePic),
              static_cast<QWidget *>(m_lblRepeat), static_cast<QWidget *>(m_cboRepeat),
              static_cast<QWidget *>(m_txtRepeat), static_cast<QWidget *>(m_updRepeat)})
            w->setVisible(false);
        return;
    }
    const int unit = m_cboRepeat->currentIndex();
    m_lblRepeat->setVisible(true);
    m_cboRepeat->setVisible(true);
    m_txtRepeat->setVisible(unit != clock::Once);
    m_updRepeat->setVisible(unit != clock::Once);
    bool showDate = true;
    if (unit == clock::Minutes || unit == clock::Hours)
        showDate = false;
    else if (unit == clock::Days || unit == clock::Workdays || unit == clock::WeekendDays)
        showDate = m_txtRepeat->text() != QLatin1String("1");
    m_lblDate->setVisible(showDate);
    m_datePic->setVisible(showDate);
}

QDate FrmClkEdit::dateToStore(int table, int repeatUnit, int repeatCount) const
{
    const QDate today = m_program.clock.now().date();
    const clock::Moment monday = clock::CurrentMonday(today);
    if (table == clock::Workday || table == clock::Weekend)
        return monday.date().addDays(-1); // the Sunday before the current week
    const QTime time = m_timePic->time();
    const clock::Moment chosen =
        clock::Moment::fromDate(m_datePic->date(), time.hour(), time.minute());
    return clock::PushBack(chosen, clock::RepeatStep(repeatUnit, repeatCount), monday).date();
}

QString FrmClkEdit::missingChoiceText() const
{
    // A line whose function the project lacks opens with nothing chosen: say which function
    // it was, so the user knows why and what to pick instead.
    const clock::ClockLine &line = m_program.clockTable.Lines[static_cast<std::size_t>(m_index)];
    const int reference = (line.FunctionType << 8) | line.FunctionNumber;
    const bool sameType = chosenType() < 0 || chosenType() == line.FunctionType;
    if (line.FunctionType != 0 && sameType && !m_presenter.ListedFunctions().contains(reference))
        return m_program.strings.GetResString(settings::TextId::Editor::FunctionNotInProject)
            .arg(m_presenter.DescribeFunction(line.FunctionType, line.FunctionNumber,
                                              DescribeMode::CodeNumber, false));
    return m_program.strings.GetResString(settings::TextId::Editor::SelectAnItem);
}

void FrmClkEdit::accept()
{
    if (!hasLine())
        return;
    // Enter confirms without leaving the field being typed in: take its value first.
    if (!m_txtLvl->isHidden())
        applyLevel();
    if (!m_txtRepeat->isHidden())
        applyRepeat();
    // A time that cannot be is refused; the dialog stays open with the time it had.
    if (!m_timePic->takeTypedText())
        return;
    if (!m_datePic->isHidden() &&
        (m_datePic->date() < m_earliest || m_datePic->date() > m_latest)) {
        const DateText dates;
        m_program.prompter.show(
            m_program.strings.GetResString(settings::TextId::Editor::DateOutOfRange)
                .arg(dates.date(m_earliest), dates.date(m_latest)),
            platform::ProgramTitle);
        m_datePic->setFocus();
        return;
    }
    ShowSetting();

    if (m_cboFnc->currentIndex() < 0 || m_cboLd->currentIndex() < 0) {
        m_program.prompter.show(missingChoiceText(), platform::ProgramTitle);
        return;
    }

    const int reference = chosenFunction();
    const int table = chosenTable();
    const int unit = m_cboRepeat->currentIndex() >= 0 ? m_cboRepeat->currentIndex() : 0;
    const int count = repeatTag();
    const QDate date = dateToStore(table, unit, count);
    m_datePic->setDate(date);

    clock::ClockLine &line = m_program.clockTable.Lines[static_cast<std::size_t>(m_index)];
    line.FunctionType = static_cast<quint8>((reference >> 8) & 0xFF);
    line.FunctionNumber = static_cast<quint8>(reference & 0xFF);
    line.Level = static_cast<quint8>(levelTag() & 0xFF);
    line.RepeatCount = static_cast<quint8>(count & 0xFF);
    line.RepeatUnit = static_cast<quint8>(unit);
    line.Table = static_cast<quint8>(table);
    clock::SetReferenceDate(line, m_datePic->date());
    line.Minute = static_cast<quint8>(m_timePic->time().minute());
    line.Hour = static_cast<quint8>(m_timePic->time().hour());
    m_program.clockTable.TableChanged = true;
    QDialog::accept();
}

void FrmClkEdit::done(int result)
{
    // Nothing was written to the line before OK; only a line made for this dialog goes again.
    if (result != QDialog::Accepted && hasLine() && (m_editMode == 1 || m_editMode == 2))
        m_program.clockTable.Lines[static_cast<std::size_t>(m_index)].FunctionType = 0;
    QDialog::done(result);
}

} // namespace quintara::ui

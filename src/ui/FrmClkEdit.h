#pragma once

#include "presentation/FunctionPresenter.h"
#include "presentation/ValueFormat.h"

#include <QDate>
#include <QDialog>

#include <array>

class QButtonGroup;
class QComboBox;
class QDateEdit;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace quintara::clock {
struct ClockLine;
}

namespace quintara::ui {

struct Program;
class TimeField;
class UpDown;

// The dialog that adds or edits one clock line: day table, reference date and time, function,
// level and repetition. It edits the selected line of the program's clock table in place; the
// line is only written on OK.
class FrmClkEdit : public QDialog {
    Q_OBJECT
public:
    // Edit modes: a line the main window has just created (1 or 2), or an existing line (3).
    static constexpr int NewLineMode = 1;
    static constexpr int ExistingLineMode = 3;

    // Edits the line program.clockTable.SelectedLine (1-based; 0 = none answers false at once)
    // modally. OK writes the line and marks the table changed; Cancel frees a new line and leaves
    // an existing one untouched. Answers whether OK closed the dialog; the caller then shows the
    // line's day table.
    static bool Edit(Program &program, int editMode, QWidget *parent = nullptr);

    // Loads the selected line into the controls. Without a selected line the dialog stays empty
    // and hasLine() is false: Edit() never shows such a dialog.
    FrmClkEdit(Program &program, int editMode, QWidget *parent = nullptr);
    ~FrmClkEdit() override;

    bool hasLine() const { return m_index >= 0; }

    // The state the level and repeat fields hold: function type × 256 + raw level, and the count.
    int levelTag() const;
    int repeatTag() const;
    // The image-list number of the state picture, 0 while it is hidden.
    int statePicture() const { return m_statePicture; }
    // The dates the date picker accepts.
    QDate earliestDate() const;
    QDate latestDate() const;

    // OK: writes the line when a function is chosen, else says so and stays open.
    void accept() override;
    // Cancel, Escape and the close box all end here: a new line is freed again.
    void done(int result) override;

    // Refreshes which controls show and which state picture, from the controls' state.
    void ShowSetting();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static constexpr int StatePictureSize = 32;

    void buildForm();
    QHBoxLayout *buildTableChoice();
    void buildFunctionChoice();
    QHBoxLayout *buildLevelField();
    void buildMomentFields();
    QHBoxLayout *buildRepeatFields();
    QHBoxLayout *buildPreviewAndButtons();
    void connectForm();
    void arrangeTabOrder();
    void loadLine(const clock::ClockLine &line);
    void setDateRange(QDate reference);

    void functionTypeChosen();
    void functionChosen();
    void repeatUnitChosen();
    void applyLevel();
    void applyRepeat();
    void stepLevel(StepDirection direction);
    void stepRepeat(StepDirection direction);
    void setStatePicture(int picture);
    int chosenTable() const;
    // The function reference of CboLd's chosen entry, or -1 when none is chosen.
    int chosenFunction() const;
    int chosenType() const;
    QString missingChoiceText() const;
    void nameControls();
    // The reference date the line gets on OK.
    QDate dateToStore(int table, int repeatUnit, int repeatCount) const;

    Program &m_program;
    ValueFormatter m_formatter;
    FunctionPresenter m_presenter;
    int m_index = -1;
    int m_editMode = 0;
    int m_statePicture = 0;
    ValueField m_level;
    ValueField m_repeat;

    QLabel *m_lblTabel = nullptr;
    std::array<QRadioButton *, 5> m_optTabel{};
    QButtonGroup *m_tables = nullptr;
    QLabel *m_lblFnc = nullptr;
    QComboBox *m_cboFnc = nullptr;
    QLabel *m_lblLd = nullptr;
    QComboBox *m_cboLd = nullptr;
    QLabel *m_lblLvl = nullptr;
    QLineEdit *m_txtLvl = nullptr;
    UpDown *m_updLvl = nullptr;
    QLabel *m_vlag = nullptr;
    QLabel *m_lblTijd = nullptr;
    TimeField *m_timePic = nullptr;
    QLabel *m_lblDate = nullptr;
    QDateEdit *m_datePic = nullptr;
    QDate m_earliest; // the dates OK accepts
    QDate m_latest;
    QLabel *m_lblRepeat = nullptr;
    QComboBox *m_cboRepeat = nullptr;
    QLineEdit *m_txtRepeat = nullptr;
    UpDown *m_updRepeat = nullptr;
    QPlainTextEdit *m_txtPrv = nullptr;
    QPushButton *m_cmdOK = nullptr;
    QPushButton *m_cmdCancel = nullptr;
};

} // namespace quintara::ui

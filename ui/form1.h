#pragma once

#include <QDateTime>
#include <QFont>
#include <QKeySequence>
#include <QMainWindow>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "calc/curve_point.h"
#include "command/run_calculation.h"
#include "command/side_stakes.h"
#include "ui/credit_line.h"
#include "ui/twips.h"

class QAction;
class QGroupBox;
class QMenu;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace quorvane::ui {

class FileDialogs;
class MessageBoxes;
class PlanView;
class ResultBox;

// The font the layout is drawn up for: 9 pt, which is 180 twips, one Chinese
// character's width; Latin letters and digits come to about half that.
QFont WindowFont();

// The credit line's one-line caption.
QString CreditCaption();

// The calculator's only window: a menu bar over a client area that holds
// every control in its place. Every control carries its short name as its
// objectName (txtXa, opn2, cmd1, txtrlt, lbl1, Timer1, ...), every menu entry
// its own (actSaveResult, actExport, actPrint, actExit, actPlanView,
// actSideStakes, actLocate, actAbout). A calculation reads its input texts
// and turn sign from the window and appends its report to it.
class Form1 : public QMainWindow, public CalculationView {
  Q_OBJECT

 public:
  // Where the clock reads the time.
  using Clock = std::function<QDateTime()>;

  Form1(MessageBoxes& boxes, FileDialogs& dialogs, Clock clock = &QDateTime::currentDateTime,
        QWidget* parent = nullptr);
  ~Form1() override;

  // CalculationView, over the window's controls.
  std::string InputText(InputBox box) const override;
  std::int16_t Turn() const override { return turn_; }
  void AppendResult(std::string_view block) override;
  void AppendTable(std::string_view block, const TableLayout& layout) override;
  void ShowMessage(std::string_view prompt, std::string_view title) override;

 private:
  // The client area's controls, each placed in twips as the layout has it.
  void BuildControls(QWidget* client);
  void BuildInputs(QWidget* frame1);
  void BuildTurnOptions(QWidget* frame1);
  void BuildCommandAndResult(QWidget* client);
  void BuildFooter(QWidget* client);
  void Place(QWidget* control, const char* name, const TwipsRect& where) const;
  QLabel* AddLabel(QWidget* container, const char* name, const QString& caption, int left, int top) const;
  QGroupBox* AddFrame(QWidget* container, const char* name, const char* caption, const TwipsRect& where) const;
  void BuildMenus();
  QAction* AddAction(QMenu* menu, const char* name, const QString& text, const QKeySequence& shortcut = {});
  bool eventFilter(QObject* watched, QEvent* event) override;

  void OnFocusChanged(QWidget* old, QWidget* now);
  void ShowReminderOnceMouseIsUp();
  void ShowReminder();
  void OnCalculateClicked();
  // Runs one computing command; a failure it does not report itself (memory
  // running out on a huge table) shows 计算未能完成！ instead of ending the program.
  template <typename Command>
  void Guarded(Command&& command);
  void OnSaveResult();
  void OnExport();
  void OnPrint();
  void OnPlanView();
  void OnSideStakes();
  void OnLocate();
  void OnAbout();
  bool Acceptable(const std::optional<DialogInputProblem>& problem);

  // The last calculation that appended a report, for saving, exporting,
  // printing and drawing; the entries that need one are enabled with it.
  void KeepCalculation(Calculation calculation);

  void ShowTime();
  void MoveCreditLabel();
  void OnCreditTick(QTimer* running, QTimer* next);
  float OuterWidthTwips() const;

  MessageBoxes& boxes_;
  FileDialogs& dialogs_;
  Clock clock_;
  TwipsScale scale_;
  std::int16_t turn_ = 0;
  std::optional<Calculation> last_;
  PlanView* planView_ = nullptr;  // made on first use, a window of its own
  // The texts last accepted in the 边桩坐标 and 坐标反算 dialogs.
  QStringList sideWidthTexts_;
  QStringList pointTexts_;

  std::array<QLineEdit*, 8> inputs_{};  // indexed by InputBox
  QRadioButton* opn1_ = nullptr;
  QRadioButton* opn2_ = nullptr;
  QPushButton* cmd1_ = nullptr;
  ResultBox* txtrlt_ = nullptr;
  QLabel* lbl1_ = nullptr;
  QLabel* lbtime_ = nullptr;
  QTimer* timer1_ = nullptr;
  QTimer* timer2_ = nullptr;

  QAction* actSaveResult_ = nullptr;
  QAction* actExport_ = nullptr;
  QAction* actPrint_ = nullptr;
  QAction* actExit_ = nullptr;
  QAction* actPlanView_ = nullptr;
  QAction* actSideStakes_ = nullptr;
  QAction* actLocate_ = nullptr;
  QAction* actAbout_ = nullptr;

  // Set when the focus has left txtd for another control of this window and
  // the reminder has not been shown for that yet.
  bool reminderOwed_ = false;
  QTimer* reminderTimer_ = nullptr;
  QMetaObject::Connection focusWatch_;

  CreditLine credit_{0.0f};
};

}  // namespace quorvane::ui

#pragma once

#include <QMainWindow>
#include <QPointF>
#include <vector>
#include <QString>
#include <optional>
#include <string>

#include "calc/line.h"
#include "calc/profile.h"
#include "io/landxml.h"
#include "ui/line/stake_print.h"
#include "ui/line_views/route_plan_view.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QStandardItemModel;
class QTabWidget;
class QTableView;
class QUndoStack;

namespace quorvane::ui {

class FileDialogs;
class CrossSectionTab;
class GridModel;
class SetoutTab;
struct SetoutSource;
class ProfileView;
class RoutePlanView;
class GridView;
class MessageBoxes;
class StakeModel;

// The 路线 window: one whole line, edited in its tables, opened from and
// saved to LandXML, staked into a table and exported, and measured points
// located on it. Several may be open; each deletes itself when closed.
//
// Its title is the file's name (未命名 before the first save) and 路线, with
// "*" while there are unsaved changes; closing then asks whether to save
// (是/否/取消). The tables edit like a spreadsheet (GridView); every edit is
// one undo step of the window's stack. The line is read from the tables
// shortly after each edit; its errors stand beside the row that causes them.
//
// A line opened from a file, or converted from the JD table, is the model
// itself: the tables show it with texts that read back exactly, and until
// they are edited it is staked, drawn and saved as it was read, never from
// its texts. A cell that is not wholly a number or a station stops 计算,
// export and 保存, with a message naming the tab, row and column.
class LineWindow : public QMainWindow {
  Q_OBJECT

 public:
  LineWindow(MessageBoxes& boxes, FileDialogs& dialogs, QWidget* parent = nullptr);
  ~LineWindow() override;

  // Loads a LandXML file into the tables (undo history cleared, no unsaved
  // changes). A file of several alignments asks which one, by name and
  // length (FileDialogs::ChooseOne). What the reader warns of is told once
  // under 提示 and stays in the status bar. False when the user cancels the
  // choice, or after telling the user why, when it cannot be read.
  bool OpenFile(const QString& path);
  // Writes the line to its file (asking for one when it has none, or when
  // that file holds other alignments too). False when cancelled, or after
  // telling the user why it failed.
  bool Save();
  bool SaveAs();
  const QString& FilePath() const { return path_; }

  QUndoStack& Undo() { return *undo_; }
  GridModel& StartTable() { return *start_; }
  GridModel& ElementTable() { return *elements_; }
  GridModel& JdTable() { return *jds_; }
  GridModel& JdStartTable() { return *jdStart_; }
  GridModel& EquationTable() { return *equations_; }
  GridModel& ProfileTable() { return *grades_; }
  QStandardItemModel& CurveTable() { return *curves_; }
  StakeModel& Stakes() { return *stakes_; }
  // The widths and slopes the last stakes' edges were staked with, as the
  // printed 逐桩坐标表 adds them.
  const PrintedSection& StakeSection() const { return printedSection_; }
  QStandardItemModel& Located() { return *located_; }
  // The line and profile as last read from the tables (none while they have
  // an error or are empty), and the message of the first error.
  const std::optional<Line>& CurrentLine() const { return line_; }
  const std::optional<Profile>& CurrentProfile() const { return profile_; }
  QString LineError() const { return lineError_; }
  // The profile table's first error (empty when it reads or is empty).
  QString ProfileError() const { return profileError_; }
  // Whether the line and profile are the ones read from the file or
  // converted from the JD table (no table edited since).
  bool LineFromModel() const { return modelLine_.has_value(); }
  bool ProfileFromModel() const { return modelGrades_.has_value(); }

  // Reads the tables now (otherwise done soon after each edit).
  void Recompute();
  // Stakes the line with the options typed; false after telling why not.
  bool ComputeStakes();
  // Replaces the start row and element table by the JD table's elements,
  // one undo step; false after telling why not.
  bool ConvertJd();
  // Asks for a file and writes all stakes, or the selected rows (.csv, .dat,
  // .dxf by the name's extension).
  void ExportStakes(bool selectedOnly);
  // 坐标反算 of the typed point, or of every point of a file (点号,X,Y[,H]).
  void LocateTyped();
  void LocateFile(const QString& path);
  void ExportLocated();
  // Saves the plan or profile drawing shown as PNG (asking for the file).
  void SaveDrawing();

  // 横断面 and 放样, and 打印路线表格 (the standard tables after a preview).
  CrossSectionTab& CrossSectionPage() { return *crossSection_; }
  SetoutTab& SetoutPage() { return *setout_; }
  void PrintStandardTables();

  // The alignment's name: as read or saved, else the file's name.
  std::string LineName() const;

  // The recently opened files, newest first (at most eight).
  static QStringList RecentFiles();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildTabs();
  void BuildElementTab();
  void BuildJdTab();
  void BuildEquationTab();
  void BuildProfileTab();
  void BuildStakeTab();
  void BuildLocateTab();
  void BuildDrawingTabs();
  // The alignment of `path` to open: the only one, or the one the user
  // chooses; nothing when cancelled. Throws what the reader throws.
  std::optional<RoadAlignment> ReadChosenAlignment(const QString& path);
  // The stake tab's boxes: widths and slopes, blank as 0; nothing, after
  // telling the user which box (under `title`), when one is not a number.
  std::optional<StakeSettings> ReadStakeSettings(const QString& title);
  void ShowStakeSettings(const std::optional<StakeSettings>& settings);
  // The first reason the tables cannot be computed or saved (a cell, the
  // line, the profile), or empty.
  QString TablesError() const;
  void RecomputeIfEdited();  // the tables read again only after an edit
  std::vector<int> VisibleRows() const;  // every stake row, in the table's order
  void BuildMenus();
  QAction* AddAction(QMenu* menu, const char* name, const QString& text, const QKeySequence& shortcut = {});
  GridView* ActiveGrid() const;
  void UpdateTitle();
  bool WriteTo(const QString& path);
  void RememberRecent(const QString& path);
  void FillRecentMenu();
  void ShowStakeError(const QString& message);
  void LocateOne(const QString& name, double X_m, double Y_m, std::optional<double> H_m);
  void Inform(const QString& prompt, const QString& title);
  std::optional<SetoutSource> SetoutFrom(bool stakes);

  MessageBoxes& boxes_;
  FileDialogs& dialogs_;
  QString path_;
  std::string name_;  // the alignment's name as read or saved
  // The file opened holds other alignments too: 保存 asks for a new file
  // rather than write this one alone over them.
  bool fileHoldsOthers_ = false;

  QUndoStack* undo_ = nullptr;
  GridModel* start_ = nullptr;
  GridModel* elements_ = nullptr;
  GridModel* jdStart_ = nullptr;
  GridModel* jds_ = nullptr;
  GridModel* equations_ = nullptr;
  GridModel* grades_ = nullptr;
  QStandardItemModel* curves_ = nullptr;
  StakeModel* stakes_ = nullptr;
  PrintedSection printedSection_;
  QStandardItemModel* located_ = nullptr;

  std::optional<Line> line_;
  std::optional<Profile> profile_;
  QString lineError_;
  QString profileError_;
  QString jdError_;                           // a cell of the JD tables that does not read
  std::optional<quorvane::JdTable> jdTable_;  // the JD table as last read
  // The model while its tables are unedited: the line and the grade points
  // as read from the file or converted.
  std::optional<Line> modelLine_;
  std::optional<std::vector<GradePoint>> modelGrades_;
  bool stakesCurrent_ = false;
  bool edited_ = false;  // a table changed since the line was last read
  std::vector<MeasuredPoint> measured_;  // the located points

  QTabWidget* tabs_ = nullptr;
  QLabel* lineStatus_ = nullptr;
  QLabel* jdStatus_ = nullptr;
  QLabel* equationStatus_ = nullptr;
  QLabel* profileStatus_ = nullptr;
  QLabel* stakeStatus_ = nullptr;
  QLabel* readerWarnings_ = nullptr;  // in the status bar: what the reader warned of
  QTableView* stakeView_ = nullptr;
  QTableView* locatedView_ = nullptr;
  QLineEdit* interval_ = nullptr;
  QLineEdit* from_ = nullptr;
  QLineEdit* to_ = nullptr;
  QCheckBox* keyPoints_ = nullptr;
  QLineEdit* leftWidth_ = nullptr;
  QLineEdit* rightWidth_ = nullptr;
  QLineEdit* leftSlope_ = nullptr;
  QLineEdit* rightSlope_ = nullptr;
  QLineEdit* pointX_ = nullptr;
  QLineEdit* pointY_ = nullptr;
  QLineEdit* pointH_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  RoutePlanView* plan_ = nullptr;
  ProfileView* profileDrawing_ = nullptr;
  class QTimer* recompute_ = nullptr;
  CrossSectionTab* crossSection_ = nullptr;
  SetoutTab* setout_ = nullptr;
};

// Opens a new 路线 window, for `path` when given (nothing, after telling the
// user, when that file cannot be read); shown, and deleted when closed.
LineWindow* OpenLineWindow(MessageBoxes& boxes, FileDialogs& dialogs, const QString& path = {});

// 打开路线…: asks for a LandXML file and opens a window for it.
LineWindow* AskAndOpenLineWindow(QWidget* parent, MessageBoxes& boxes, FileDialogs& dialogs);

}  // namespace quorvane::ui

#pragma once

#include <QDialog>
#include <string>

#include "core/input/ButtonAlias.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace brevanto {

class ConfigFile;

// The alias text of a table entry: source 1, then " + " source 2 and, only
// with a source 2, " + " source 3, each by its button's default name.
std::string AliasText(const ButtonAlias& alias);

// Edits the profile's alias table in place: which inputs make each of the
// first POV's directions and each button count as pressed. Every change is
// written at once and marks the profile modified; OK only closes.
class TButtonAliasDialog : public QDialog {
  Q_OBJECT

 public:
  TButtonAliasDialog(ConfigFile& profile, QWidget* parent = nullptr);

  // The virtual button a row stands for.
  int RowButton(int row) const;

  QLabel* lblExplanation;
  QTableWidget* lvButtonAlias;
  QGroupBox* lblSelected;
  QComboBox* cbAssignment1;
  QComboBox* cbAssignment2;
  QComboBox* cbAssignment3;
  QPushButton* btnOK;

 private:
  void AddRow(int virtualButton, const std::string& caption);
  void RefreshRow(int row);
  void lvButtonAliasSelectItem();
  void cbAssignmentChange(int which, int index);

  ConfigFile& profile_;
};

}  // namespace brevanto

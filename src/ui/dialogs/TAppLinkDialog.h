#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "core/applink/AppLink.h"

class QComboBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace brevanto {

class AppLinkManager;
class MainFormHost;

// The list of application links and what happens in an application that has
// none. It works on its rows only: the table and "AppLink.dat" change when
// it is confirmed, the table with the processing thread held.
class TAppLinkDialog : public QDialog {
  Q_OBJECT

 public:
  TAppLinkDialog(AppLinkManager& links, MainFormHost& host, QWidget* parent = nullptr);

  // The link a row shows.
  AppLink RowLink(int row) const;

  QTreeWidget* LVAppLink;
  QPushButton* btnEdit;
  QPushButton* btnAdd;
  QPushButton* btnDelete;
  QGroupBox* gbNoLink;
  QRadioButton* rbUseLastSelected;
  QRadioButton* rbNoAction;
  QRadioButton* rbUseDefaultConfig;
  QComboBox* cbDefaultConfig;
  QPushButton* btnOK;
  QPushButton* btnCancel;

  void btnEditClick();
  void btnAddClick();
  void btnDeleteClick();
  void btnOKClick();

 private:
  QTreeWidgetItem* SelectedRow() const;
  void ShowLink(QTreeWidgetItem* row, const AppLink& link);
  // Runs the item dialog on the link; true on OK.
  bool EditLink(AppLink& link);

  AppLinkManager& links_;
  MainFormHost& host_;
  std::vector<std::string> profileNames_;
};

}  // namespace brevanto

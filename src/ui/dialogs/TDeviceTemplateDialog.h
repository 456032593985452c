#pragma once

#include <QDialog>
#include <QString>
#include <string>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace brevanto {

class DeviceTemplateManager;
class TDeviceTemplate;

// "ボタン表示テンプレートの設定": chooses a button label template and edits the
// labels of the 128 buttons in place, renames templates and makes copies.
// Every way of closing keeps the changes: the labels are stored into the
// template and the templates file is written once when anything changed.
// The caller receives the id of the template chosen last.
class TDeviceTemplateDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kRows = 128;

  // Opens on the template with this id; an empty or unknown id opens
  // "DEFAULT".
  TDeviceTemplateDialog(DeviceTemplateManager& templates, const std::string& templateId,
                        QWidget* parent = nullptr);

  // Runs the dialog modally and returns the id chosen.
  static std::string Choose(DeviceTemplateManager& templates, const std::string& templateId,
                            QWidget* parent);

  // Empty until the dialog was closed.
  const std::string& ResultId() const { return resultId_; }
  TDeviceTemplate* Current() const { return current_; }
  bool Modified() const { return modified_; }
  // The row whose label is being edited, -1 when none.
  int EditingRow() const { return editingRow_; }
  QString RowLabel(int row) const;

  // Puts the editor over the label of the row, with the label selected.
  void StartEditing(int row);

  QComboBox* cbTemplates;
  QTreeWidget* lvButtonLabels;
  QPushButton* btnEditTemplateName;
  QPushButton* btnCreateNewTemplate;
  QPushButton* btnOk;
  QLineEdit* ListViewCellEditor;

  void btnEditTemplateNameClick();
  void btnCreateNewTemplateClick();

 public slots:
  void done(int result) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FillTemplates();
  void TemplateChosen(int index);
  void ShowTemplate(TDeviceTemplate* deviceTemplate);
  // Stores the editor's text into its row when it changed.
  void StoreEditor();
  void EndEditing();
  // The rows up to the last real label become the template's labels; rows
  // holding only "Button" or nothing leave the template as it is.
  void StoreRows();
  void MarkModified();

  DeviceTemplateManager& templates_;
  TDeviceTemplate* current_ = nullptr;
  std::string resultId_;
  int editingRow_ = -1;
  bool modified_ = false;
  bool rowsEdited_ = false;
  bool closed_ = false;
};

}  // namespace brevanto

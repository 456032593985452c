// The two keyboard pages of the assignment dialog: the key edits with their
// key capture and popup, and the switching modes of the multiple inputs.

#include <QComboBox>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/engine/AssignmentText.h"
#include "core/engine/KeyNames.h"
#include "core/input/VirtualButton.h"
#include "ui/UiText.h"
#include "ui/WidgetNames.h"
#include "ui/dialogs/AssignDialogText.h"
#include "ui/dialogs/AssignKeyCodes.h"
#include "ui/dialogs/TAssignDialog.h"

namespace brevanto {
namespace {

QLabel* Note(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setWordWrap(true);
  return label;
}

QRadioButton* Radio(QWidget* parent, const char* name, const QString& caption) {
  return Named(new QRadioButton(caption, parent), name);
}

}  // namespace

QLineEdit* TAssignDialog::NewKeyEdit(QWidget* parent, const char* name, int index) {
  auto* edit = Named(new QLineEdit(parent), name);
  edit->setProperty(kKeyIndexProperty, index);
  edit->setAccessibleName(QString::fromLatin1(name));
  edit->setText(ToQ(KeyName(0)));
  // The key being edited stands out; the colours are fixed, as the names are
  // read against them in either theme.
  edit->setStyleSheet(
      QStringLiteral("QLineEdit { background: #FFFFFF; color: black; }"
                     "QLineEdit:focus { background: #FFFF00; }"));
  edit->setAttribute(Qt::WA_InputMethodEnabled, false);
  edit->setContextMenuPolicy(Qt::DefaultContextMenu);
  edit->installEventFilter(this);
  return edit;
}

QLineEdit* TAssignDialog::NewNumberEdit(QWidget* parent, const char* name, const char* text) {
  auto* edit = Named(new QLineEdit(QString::fromUtf8(text), parent), name);
  edit->setMaximumWidth(64);
  edit->installEventFilter(this);
  return edit;
}

QLineEdit* TAssignDialog::KeyEdit(int index, bool multi) const {
  if (index < 0 || index >= 16) return nullptr;
  if (!multi && index < 4) return Key[static_cast<std::size_t>(index)];
  return MultiKey[static_cast<std::size_t>(index / 4)][static_cast<std::size_t>(index % 4)];
}

QWidget* TAssignDialog::BuildKeyboardPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("tsKeyboard"));
  auto* keys = Named(new QGroupBox(QStringLiteral("キーボード：基本入力"), page), "gbKeyboard");
  auto* keysLayout = new QVBoxLayout(keys);
  for (int i = 0; i < 4; ++i) {
    const QByteArray name = "Key" + QByteArray::number(i);
    Key[static_cast<std::size_t>(i)] = NewKeyEdit(keys, name.constData(), i);
    keysLayout->addWidget(Key[static_cast<std::size_t>(i)]);
  }

  auto* special =
      Named(new QGroupBox(QStringLiteral("特殊なキーコードの割り当て"), page), "gbSpecialKey");
  cbKeySelect = Named(new QComboBox(special), "cbKeySelect");
  for (const SpecialKeyEntry& entry : kSpecialKeys)
    cbKeySelect->addItem(QString::fromUtf8(entry.caption));
  cbKeySelect->setAccessibleName(QStringLiteral("特殊なキーコードの割り当て"));
  cbKeyNum = Named(new QComboBox(special), "cbKeyNum");
  cbKeyNum->addItems({QStringLiteral("Key1"), QStringLiteral("Key2"), QStringLiteral("Key3"),
                      QStringLiteral("Key4")});
  btnKeyAssign = Named(new QPushButton(QStringLiteral("割り当てる"), special), "btnKeyAssign");
  btnKeyAssign->setAutoDefault(false);
  auto* to = new QLabel(QStringLiteral("を"), special);
  to->setBuddy(cbKeyNum);
  auto* specialLayout = new QHBoxLayout(special);
  specialLayout->addWidget(cbKeySelect, 1);
  specialLayout->addWidget(to);
  specialLayout->addWidget(cbKeyNum);
  specialLayout->addWidget(new QLabel(QStringLiteral("に"), special));
  specialLayout->addWidget(btnKeyAssign);

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(keys);
  layout->addWidget(special);
  layout->addWidget(
      Note(QStringLiteral("入力ボックスを右クリックすると、クリアしたり、特殊なキーコード"
                          "を割り当てることができます。"),
           page));
  layout->addWidget(Note(QStringLiteral("キーの入力は上から順に実行されます。Alt, Ctrl "
                                        "キーなどと組み合わせる場合は、押す順番にご注意ください。"),
                         page));
  layout->addWidget(
      Note(QStringLiteral("注意：一部の古いゲームなどで、通常の矢印キーやALTキーを割り当てても"
                          "認識されない場合、特殊なキーコード割り当てから \"for DirectInput\" "
                          "と表示されているキーコードを割り当てると動く場合があります。"),
           page));
  layout->addStretch();
  connect(btnKeyAssign, &QPushButton::clicked, this, &TAssignDialog::btnKeyAssignClick);
  return page;
}

QWidget* TAssignDialog::BuildKeyboardMultiPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("tsKeyboardMulti"));
  auto* group = Named(new QGroupBox(QStringLiteral("キーボード：複数の入力設定を切り替える"), page),
                      "gbKeyboardMulti");
  const QString rowNames[] = {QStringLiteral("入力１"), QStringLiteral("入力２"),
                              QStringLiteral("入力３"), QStringLiteral("入力４")};
  auto* keys = new QGridLayout;
  for (int row = 0; row < 4; ++row) {
    const QByteArray labelName = "lblKey" + QByteArray::number(row + 1);
    auto& label = lblKey[static_cast<std::size_t>(row)];
    label = Named(new QLabel(rowNames[row], group), labelName.constData());
    keys->addWidget(label, row, 0);
    for (int column = 0; column < 4; ++column) {
      const QByteArray name = "Key" + QByteArray::number(row + 1) + QByteArray::number(column + 1);
      QLineEdit* edit = NewKeyEdit(group, name.constData(), row * 4 + column);
      edit->setMinimumWidth(96);
      // Tab goes from input to input; a key's neighbours are a click away.
      if (column > 0) edit->setFocusPolicy(Qt::ClickFocus);
      MultiKey[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = edit;
      keys->addWidget(edit, row, column + 1);
    }
    label->setBuddy(MultiKey[static_cast<std::size_t>(row)][0]);
  }

  rbKeyAnalogSwitch =
      Radio(group, "rbKeyAnalogSwitch", QStringLiteral("アナログ入力のレベルによって切り替える"));
  rbKeyAnalogSwitch->setChecked(true);
  editKeyAnalogThreshold1 = NewNumberEdit(group, "editKeyAnalogThreshold1", "50");
  editKeyAnalogThreshold2 = NewNumberEdit(group, "editKeyAnalogThreshold2", "90");
  rbKeyDelayedSwitch =
      Radio(group, "rbKeyDelayedSwitch", QStringLiteral("ボタンが押される長さによって切り替える"));
  editKeySwitchDelay = NewNumberEdit(group, "editKeySwitchDelay", "500");
  rbKeyMultiSwitch2 =
      Radio(group, "rbKeyMultiSwitch2",
            QStringLiteral("ボタンが押されるたびに切り替える（入力１→入力２→入力１→...）"));
  rbKeyMultiSwitch3 =
      Radio(group, "rbKeyMultiSwitch3",
            QStringLiteral("ボタンが押されるたびに切り替える（入力１→入力２→入力３→入力１→...）"));
  rbKeyMultiSwitch4 = Radio(group, "rbKeyMultiSwitch4",
                            QStringLiteral("ボタンが押されるたびに切り替える（入力１→入力２→"
                                           "入力３→入力４→入力１→...）"));
  rbKeyReleaseSwitch =
      Radio(group, "rbKeyReleaseSwitch",
            QStringLiteral("ボタンが離された時に入力１を入力（そして押されている間は入力２）"));
  rbKeyRepeatSwitch = Radio(group, "rbKeyRepeatSwitch",
                            QStringLiteral("連続して押された回数によって切り替える（１回→入力１, "
                                           "２回→入力２, ３回→入力３, …）"));
  editKeyRepeatSwitch = NewNumberEdit(group, "editKeyRepeatSwitch", "500");
  rbKeyMultiSequence = Radio(group, "rbKeyMultiSequence",
                             QStringLiteral("ボタンが押された時入力１から入力４まで順番に入力"));
  editMinimumHoldDuration = NewNumberEdit(group, "editMinimumHoldDuration", "20");
  editCounterResetDuration = NewNumberEdit(group, "editCounterResetDuration", "");
  editCounterResetDuration->setToolTip(QStringLiteral(
      "ボタンが一定時間押されなかった場合、次は入力1に戻る（指定なしの場合は戻さない）"));

  auto indented = [group](std::initializer_list<QWidget*> widgets, QWidget* buddyOf = nullptr) {
    auto* row = new QHBoxLayout;
    row->addSpacing(24);
    for (QWidget* w : widgets) row->addWidget(w);
    row->addStretch();
    if (buddyOf) {
      for (QWidget* w : widgets) {
        if (auto* label = qobject_cast<QLabel*>(w)) label->setBuddy(buddyOf);
      }
    }
    (void)group;
    return row;
  };
  auto text = [group](const QString& t) { return new QLabel(t, group); };

  auto* modes = new QVBoxLayout;
  modes->addWidget(rbKeyAnalogSwitch);
  modes->addLayout(indented({text(QStringLiteral("[入力１]   <")), editKeyAnalogThreshold1,
                             text(QStringLiteral("%   <   [入力２]   <")), editKeyAnalogThreshold2,
                             text(QStringLiteral("%   <   [入力３]"))}));
  editKeyAnalogThreshold1->setAccessibleName(QStringLiteral("[入力１]   <"));
  editKeyAnalogThreshold2->setAccessibleName(QStringLiteral("%   <   [入力２]   <"));
  modes->addWidget(rbKeyDelayedSwitch);
  modes->addLayout(
      indented({editKeySwitchDelay, text(QStringLiteral("ミリ秒以下なら入力１、以上なら入力２を使う"
                                                        "（そして離されたとき入力3）"))},
               editKeySwitchDelay));
  modes->addWidget(rbKeyMultiSwitch2);
  modes->addWidget(rbKeyMultiSwitch3);
  modes->addWidget(rbKeyMultiSwitch4);
  modes->addWidget(rbKeyReleaseSwitch);
  modes->addWidget(rbKeyRepeatSwitch);
  modes->addLayout(
      indented({editKeyRepeatSwitch, text(QStringLiteral("ミリ秒以内なら連続して押されたと判断"))},
               editKeyRepeatSwitch));
  modes->addWidget(rbKeyMultiSequence);
  auto* hold = new QLabel(QStringLiteral("入力保持時間"), group);
  hold->setBuddy(editMinimumHoldDuration);
  auto* reset = new QLabel(QStringLiteral("カウンタリセット時間"), group);
  reset->setBuddy(editCounterResetDuration);
  auto* durations = new QHBoxLayout;
  durations->addWidget(hold);
  durations->addWidget(editMinimumHoldDuration);
  durations->addWidget(text(QStringLiteral("ミリ秒")));
  durations->addSpacing(16);
  durations->addWidget(reset);
  durations->addWidget(editCounterResetDuration);
  durations->addWidget(text(QStringLiteral("ミリ秒")));
  durations->addStretch();

  auto* groupLayout = new QVBoxLayout(group);
  groupLayout->addLayout(keys);
  groupLayout->addLayout(modes);
  groupLayout->addLayout(durations);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(group);
  layout->addStretch();

  for (QRadioButton* rb :
       {rbKeyAnalogSwitch, rbKeyDelayedSwitch, rbKeyMultiSwitch2, rbKeyMultiSwitch3,
        rbKeyMultiSwitch4, rbKeyReleaseSwitch, rbKeyRepeatSwitch, rbKeyMultiSequence}) {
    connect(rb, &QRadioButton::clicked, this, [this] { MultiModeClicked(); });
  }
  return page;
}

void TAssignDialog::BuildSpecialKeysMenu() {
  PMSpecialKeys = Named(new QMenu(this), "PMSpecialKeys");
  auto add = [this](QMenu* menu, const QString& caption, uint32_t code) {
    QAction* action = menu->addAction(caption);
    action->setData(code);
    connect(action, &QAction::triggered, this, [this, code] {
      if (popupEdit_) SpecialKeyChosen(popupEdit_, code);
    });
  };
  add(PMSpecialKeys, QStringLiteral("Clear"), 0);
  PMSpecialKeys->addSeparator();
  QMenu* buttons = PMSpecialKeys->addMenu(QStringLiteral("他のボタン設定を起動"));
  buttons->setObjectName(QStringLiteral("PMOtherButtons"));
  const TDeviceTemplate* labels = host_.SlotTemplate(slot_);
  for (int i = 0; i < kTriggerButtonCount; ++i) {
    add(buttons, ToQ(ButtonCaption(PlainButton(i + 1), labels)),
        kTriggerButtonCode + static_cast<uint32_t>(i));
  }
  for (const SpecialKeyEntry& entry : kSpecialKeys) {
    const QString caption = QString::fromUtf8(entry.caption);
    if (!entry.takesSpeed) {
      add(PMSpecialKeys, caption, entry.code);
      continue;
    }
    QMenu* speeds = PMSpecialKeys->addMenu(caption);
    for (int i = 0; i < kSpecialKeySpeedCount; ++i) {
      add(speeds, QString::number(SpecialKeySpeed(i)),
          entry.code + static_cast<uint32_t>(SpecialKeySpeed(i)));
    }
  }
}

bool TAssignDialog::KeyEditEvent(QLineEdit* edit, QEvent* event) {
  switch (event->type()) {
    case QEvent::ShortcutOverride:
      // Every key is the edit's: no shortcut, default button or focus move.
      event->accept();
      return true;
    case QEvent::KeyPress: {
      const uint32_t code = KeyCodeOfCapturedKey(host_.LastKey());
      // A key without a code is swallowed like a typed character.
      if (code == 0) return true;
      SetKey(edit->property(kKeyIndexProperty).toInt(), code);
      ShowKey(edit, code);
      if (edit == Key[0]) {
        btnOK->setFocus(Qt::TabFocusReason);
      } else {
        focusNextChild();
      }
      return true;
    }
    case QEvent::KeyRelease:
    case QEvent::InputMethod:
      return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
      // The middle button would paste the selection into the edit.
      return static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton;
    case QEvent::ContextMenu:
      popupEdit_ = edit;
      edit->setFocus(Qt::PopupFocusReason);
      PMSpecialKeys->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
      return true;
    default:
      return false;
  }
}

void TAssignDialog::SetKey(int index, uint32_t code) {
  if (index >= 0 && index < static_cast<int>(keys_.size())) {
    keys_[static_cast<std::size_t>(index)] = code;
  }
}

void TAssignDialog::ShowKey(QLineEdit* edit, uint32_t code) {
  edit->setText(ToQ(KeyName(code)));
}

void TAssignDialog::SpecialKeyChosen(QLineEdit* edit, uint32_t code) {
  SetKey(edit->property(kKeyIndexProperty).toInt(), code);
  ShowKey(edit, code);
}

void TAssignDialog::btnKeyAssignClick() {
  const int entry = cbKeySelect->currentIndex();
  const int index = cbKeyNum->currentIndex();
  if (entry < 0 || entry >= static_cast<int>(kSpecialKeys.size()) || index < 0 || index > 3) {
    return;
  }
  const uint32_t code = kSpecialKeys[static_cast<std::size_t>(entry)].code;
  SetKey(index, code);
  ShowKey(Key[static_cast<std::size_t>(index)], code);
  Key[static_cast<std::size_t>(index)]->setFocus();
}

void TAssignDialog::LoadKeys(const ButtonAssignment& r) {
  cbKeySelect->setCurrentIndex(0);
  cbKeyNum->setCurrentIndex(0);
  for (std::size_t i = 0; i < keys_.size(); ++i) keys_[i] = r.keys[i / 4][i % 4];
  const bool multi = r.kind == AssignmentKind::MultiInput;
  for (int i = 0; i < 4; ++i)
    ShowKey(Key[static_cast<std::size_t>(i)], multi ? 0 : keys_[static_cast<std::size_t>(i)]);
  for (int i = 0; i < 16; ++i)
    ShowKey(KeyEdit(i, true), multi ? keys_[static_cast<std::size_t>(i)] : 0);
}

void TAssignDialog::LoadMultiMode(const ButtonAssignment& r) {
  QRadioButton* modes[] = {
      nullptr,           rbKeyMultiSwitch2, rbKeyMultiSwitch3,  rbKeyDelayedSwitch,
      rbKeyAnalogSwitch, rbKeyMultiSwitch4, rbKeyReleaseSwitch, rbKeyRepeatSwitch,
      rbKeyMultiSequence};
  const int mode = static_cast<int>(r.multiMode);
  if (mode >= 1 && mode <= 8) modes[mode]->setChecked(true);
  MultiModeClicked();

  if (mode == 1 || mode == 2 || mode == 5) {
    editCounterResetDuration->setText(
        r.counterResetDuration >= 1 ? QString::number(r.counterResetDuration) : QString());
  } else if (rbKeyDelayedSwitch->isChecked()) {
    editKeySwitchDelay->setText(QString::number(r.switchDelay));
    editMinimumHoldDuration->setText(QString::number(r.minimumHoldDuration));
  } else if (rbKeyRepeatSwitch->isChecked()) {
    editKeyRepeatSwitch->setText(QString::number(r.switchDelay));
    editMinimumHoldDuration->setText(QString::number(r.minimumHoldDuration));
  } else if (rbKeyReleaseSwitch->isChecked() || rbKeyMultiSequence->isChecked()) {
    editMinimumHoldDuration->setText(QString::number(r.minimumHoldDuration));
  } else {
    editKeySwitchDelay->setText(QStringLiteral("500"));
    editMinimumHoldDuration->setText(QStringLiteral("20"));
  }

  if (rbKeyAnalogSwitch->isChecked()) {
    editKeyAnalogThreshold1->setText(QString::number(r.analogThreshold1));
    editKeyAnalogThreshold2->setText(QString::number(r.analogThreshold2));
  } else {
    editKeyAnalogThreshold1->setText(QStringLiteral("50"));
    editKeyAnalogThreshold2->setText(QStringLiteral("95"));
  }
}

void TAssignDialog::MultiModeClicked() {
  const bool switch2 = rbKeyMultiSwitch2->isChecked();
  const bool switch3 = rbKeyMultiSwitch3->isChecked();
  const bool switch4 = rbKeyMultiSwitch4->isChecked();
  const bool delayed = rbKeyDelayedSwitch->isChecked();
  const bool repeat = rbKeyRepeatSwitch->isChecked();
  const bool release = rbKeyReleaseSwitch->isChecked();
  const bool sequence = rbKeyMultiSequence->isChecked();
  const bool analog = rbKeyAnalogSwitch->isChecked();
  const bool row3 = switch3 || switch4 || delayed || repeat || sequence || analog;
  const bool row4 = switch4 || repeat || sequence;
  lblKey[2]->setEnabled(row3);
  lblKey[3]->setEnabled(row4);
  for (QLineEdit* edit : MultiKey[2]) edit->setEnabled(row3);
  for (QLineEdit* edit : MultiKey[3]) edit->setEnabled(row4);
  editCounterResetDuration->setEnabled(switch2 || switch3 || switch4);
  editMinimumHoldDuration->setEnabled(delayed || release || repeat || sequence);
  editKeyRepeatSwitch->setEnabled(repeat);
  editKeySwitchDelay->setEnabled(delayed);
  editKeyAnalogThreshold1->setEnabled(analog);
  editKeyAnalogThreshold2->setEnabled(analog);
  PageChanged();
}

}  // namespace brevanto

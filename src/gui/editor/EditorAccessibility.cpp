// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/editor/EditorAccessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>

#include "gui/editor/NcEdit.h"

namespace quelvo {

namespace {

// The stand-in: an editable text field without the text interface.
class PlainEditorAccessible : public QAccessibleWidget {
 public:
  explicit PlainEditorAccessible(QWidget* editor) : QAccessibleWidget(editor, QAccessible::EditableText) {}
};

QAccessibleInterface* EditorInterface(const QString&, QObject* object) {
  if (QAccessible::isActive()) return nullptr;  // the control's own interface
  auto* editor = qobject_cast<NcEdit*>(object);
  return editor != nullptr ? new PlainEditorAccessible(editor) : nullptr;
}

// Assistive technology came up: the stand-ins go, the next query of each
// editor gets the control's full interface.
class ActivationWatch : public QAccessible::ActivationObserver {
 public:
  void accessibilityActiveChanged(bool active) override {
    if (!active || qApp == nullptr) return;
    for (QWidget* widget : QApplication::allWidgets()) {
      if (qobject_cast<NcEdit*>(widget) == nullptr) continue;
      QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
      if (dynamic_cast<PlainEditorAccessible*>(iface) != nullptr)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
    }
  }
};

}  // namespace

void InstallEditorAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(&EditorInterface);
    static ActivationWatch watch;
    QAccessible::installActivationObserver(&watch);
    return true;
  }();
  (void)installed;
}

}  // namespace quelvo

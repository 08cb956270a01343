#include "gui/mainwindow/StopKeyFilter.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>

namespace quelvo {

StopKeyFilter::StopKeyFilter(QObject* parent) : QObject(parent) {
  if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
}

StopKeyFilter::~StopKeyFilter() {
  if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

bool StopKeyFilter::Held(StopKey key) const { return State(key).held; }

bool StopKeyFilter::Hit(StopKey key) {
  KeyState& state = State(key);
  const bool hit = state.held || state.latched;
  state.latched = false;
  return hit;
}

void StopKeyFilter::Release(StopKey key) { State(key) = KeyState{}; }

void StopKeyFilter::Press(StopKey key) { State(key).latched = true; }

bool StopKeyFilter::ShiftHeld() const {
  return (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier) != 0;
}

bool StopKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::ApplicationDeactivate) {
    // The key-up of a key held while another program took the keyboard never
    // reaches us: it is no longer held (a press stays latched).
    f3_.held = false;
    esc_.held = false;
  }
  if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
    // A key event reaches the filter once for the window and once for each
    // widget it is delivered to; all of them agree, so recording each is harmless.
    const auto* key = static_cast<const QKeyEvent*>(event);
    KeyState* state = nullptr;
    if (key->key() == Qt::Key_F3) state = &f3_;
    if (key->key() == Qt::Key_Escape) state = &esc_;
    if (state != nullptr) {
      if (type == QEvent::KeyPress) {
        state->held = true;
        state->latched = true;
      } else if (!key->isAutoRepeat()) {
        state->held = false;
      }
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace quelvo

#include "toolkit/ui/screen.h"

#include <algorithm>

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

#include "toolkit/ui/forms.h"
#include "toolkit/ui/guarded.h"
#include "toolkit/ui/keys.h"

namespace {

TScreen gScreen;

// Sees every key press before its widget does and hands it to the window it belongs to, once: Qt hands
// an unused key press on to the parent widgets, and those repeats are recognised and let through.
class TKeyFilter : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget) return false;
    if (event == FLastEvent && FLastReceiver && FLastReceiver->parentWidget() == widget) {
      FLastReceiver = widget;
      return false;
    }
    FLastEvent = event;
    FLastReceiver = widget;
    auto* form = dynamic_cast<TCustomForm*>(widget->window());
    if (!form) return false;
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    const Word key = VirtualKeyFromQt(keyEvent->key());
    if (key == 0) return false;
    bool used = false;
    Guarded([&] { used = form->DispatchKey(key, ShiftFromQt(keyEvent->modifiers())); });
    if (used) event->accept();
    return used;
  }

 private:
  const QEvent* FLastEvent = nullptr;
  QPointer<QWidget> FLastReceiver;
};

void EnsureKeyFilter() {
  static TKeyFilter* filter = nullptr;
  if (filter || !qApp) return;
  filter = new TKeyFilter;
  filter->setParent(qApp);
  qApp->installEventFilter(filter);
}

}  // namespace

TScreen* const Screen = &gScreen;

TCustomForm* TScreen::Forms(int index) const {
  if (index < 0 || index >= FormCount()) return nullptr;
  return FForms[static_cast<size_t>(index)];
}

void TScreen::SetCursor(TCursor cursor) {
  if (cursor == FCursor) return;
  const bool wasBusy = FCursor == crHourGlass;
  FCursor = cursor;
  if (!qApp) return;
  if (wasBusy) QGuiApplication::restoreOverrideCursor();
  if (cursor == crHourGlass) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

void TScreen::AddForm(TCustomForm* form) {
  EnsureKeyFilter();
  FForms.push_back(form);
  FFrontToBack.push_back(form);
}

void TScreen::RemoveForm(TCustomForm* form) {
  std::erase(FForms, form);
  std::erase(FFrontToBack, form);
  if (FActiveForm == form) FActiveForm = nullptr;
}

void TScreen::BringToFront(TCustomForm* form) {
  const auto found = std::find(FFrontToBack.begin(), FFrontToBack.end(), form);
  if (found == FFrontToBack.end()) return;
  std::rotate(FFrontToBack.begin(), found, found + 1);
}

TCustomForm* TScreen::TopmostStayOnTopForm() const {
  for (TCustomForm* form : FFrontToBack)
    if (form->StaysOnTop() && form->Visible()) return form;
  return nullptr;
}

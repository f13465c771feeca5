#pragma once
// A status bar of text panels drawn in one font shared by all panels.

#include <memory>
#include <string>
#include <vector>

#include <QWidget>

#include "toolkit/graphics/canvas.h"
#include "toolkit/ui/component.h"

class TStatusBar;

class TStatusPanel {
 public:
  explicit TStatusPanel(TStatusBar& bar) : FBar(bar) {}
  const std::string& Text() const { return FText; }
  void SetText(const std::string& text);
  int Width() const { return FWidth; }
  void SetWidth(int width);

 private:
  TStatusBar& FBar;
  std::string FText;
  int FWidth = 50;
};

class TStatusBar : public TWidgetControl<QWidget> {
 public:
  TStatusBar(TComponent* owner, TControl* parent);

  int PanelCount() const { return static_cast<int>(FPanels.size()); }
  // Raises EListError for an index out of range.
  TStatusPanel& Panels(int index);
  TStatusPanel& AddPanel();

  // Drawn on the next paint; changing a panel's text repaints.
  TFont Font;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<std::unique_ptr<TStatusPanel>> FPanels;
};

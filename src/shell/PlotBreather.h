// Keeps the window alive while the generator holds the one thread: between evaluations it takes
// the pending events, so the window repaints and the status text moves, but holds user input off
// so that nothing can start inside the plot. Esc, or closing the window, stops the generation;
// the window then closes once the plot has ended.
#pragma once

#include <QObject>

#include "plot/Evaluation.h"

class QWidget;

class TPlotBreather final : public QObject {
  public:
    explicit TPlotBreather(QWidget& window) : window_(window) {}

    // The evaluation context's breath hook: takes the pending events and answers Stop once the
    // user asked to stop.
    isotri::ProgressAnswer Breathe();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget& window_;
    bool stop_ = false;
    bool closing_ = false;
};

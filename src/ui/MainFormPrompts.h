#pragma once

#include <QString>

class QWidget;

// The questions the main window asks the operator; tests answer them without a modal box.
class MainFormPrompts
{
public:
    virtual ~MainFormPrompts() = default;
    // Yes/No/Cancel question; true only for Yes.
    virtual bool confirmClose(QWidget* parent, const QString& caption) = 0;
    // Save dialog at exit when Shift is held; empty when cancelled.
    virtual QString exitCsvSavePath(QWidget* parent, const QString& initialPath) = 0;
    virtual bool shiftHeld() const = 0;
    // A modal error box (the fatal first-connection message).
    virtual void showError(QWidget* parent, const QString& caption, const QString& text) = 0;
};

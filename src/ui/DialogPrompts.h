#pragma once

#include "ui/MainFormPrompts.h"

// The real message boxes and dialogs.
class DialogPrompts final : public MainFormPrompts
{
public:
    bool confirmClose(QWidget* parent, const QString& caption) override;
    QString exitCsvSavePath(QWidget* parent, const QString& initialPath) override;
    bool shiftHeld() const override;
    void showError(QWidget* parent, const QString& caption, const QString& text) override;
};

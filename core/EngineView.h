#pragma once

#include "ConversionView.h"

// The conversion engine without a window: just the input, the options and the
// output, for the site rewrite and the benchmark. Messages are kept, not shown.
class EngineView : public ConversionView
{
public:
    QString input;
    QString output;
    ConversionSettings options;
    QString problem;

    QString inputText() const override { return input; }
    void setInputText(const QString& text) override { input = text; }
    QString outputText() const override { return output; }
    void setOutputText(const QString& text) override { output = text; }
    ConversionSettings settings() const override { return options; }

    void showErrorLine(const QString& caption) override { problem = caption; }
    void hideErrorLine() override {}
    void setInputLengthCaption(const QString&) override {}
    void setCellCaption(int, const QString&) override {}
    void setCellColour(int, WinColour) override {}
    void showBreakMarker(int, WinColour) override {}
    void hideBreakMarker(int) override {}
    void focusDecimalBox() override {}
    void focusAndSelectAllInput() override {}
    void focusAndSelectAllOutput() override {}
    MessageAnswer showMessage(const Message& message) override
    {
        problem = message.text;
        return MessageAnswer::Ok;
    }
};

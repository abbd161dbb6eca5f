#pragma once

#include "ConversionSettings.h"
#include "Message.h"

#include <QString>

// What the conversion needs of the main window. The real window implements it;
// tests drive the engine through a fake.
class ConversionView
{
public:
    static constexpr int CellCount = 100;
    static constexpr int MarkerCount = 49;

    virtual ~ConversionView() = default;

    virtual QString inputText() const = 0;
    // Storing a different text raises the input field's change reaction.
    virtual void setInputText(const QString& text) = 0;
    virtual QString outputText() const = 0;
    virtual void setOutputText(const QString& text) = 0;
    virtual ConversionSettings settings() const = 0;

    virtual void showErrorLine(const QString& caption) = 0;
    virtual void hideErrorLine() = 0;
    virtual void setInputLengthCaption(const QString& caption) = 0;

    virtual void setCellCaption(int cell, const QString& caption) = 0;
    virtual void setCellColour(int cell, WinColour colour) = 0;
    virtual void showBreakMarker(int marker, WinColour colour) = 0;
    virtual void hideBreakMarker(int marker) = 0;

    virtual void focusDecimalBox() = 0;
    virtual void focusAndSelectAllInput() = 0;
    virtual void focusAndSelectAllOutput() = 0;

    virtual MessageAnswer showMessage(const Message& message) = 0;
};

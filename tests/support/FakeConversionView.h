#pragma once

#include "ConversionView.h"

#include <QList>
#include <array>
#include <functional>

// A window without pixels: records what the conversion shows.
class FakeConversionView : public ConversionView
{
public:
    struct Marker
    {
        bool visible = false;
        WinColour colour = 0;
    };

    QString input, output, errorLine, inputLengthCaption;
    ConversionSettings options;
    bool errorLineVisible = false;
    std::array<QString, CellCount> cellCaptions;
    std::array<WinColour, CellCount> cellColours{};
    std::array<Marker, MarkerCount> markers{};
    int decimalBoxFocused = 0, inputSelected = 0, outputSelected = 0, inputWrites = 0;
    QList<Message> messages;
    std::function<void()> onInputChanged;

    QString inputText() const override { return input; }
    void setInputText(const QString& text) override
    {
        ++inputWrites;
        if (text != input && (input = text, onInputChanged))
            onInputChanged();
    }
    QString outputText() const override { return output; }
    void setOutputText(const QString& text) override { output = text; }
    ConversionSettings settings() const override { return options; }
    void showErrorLine(const QString& caption) override { errorLine = caption, errorLineVisible = true; }
    void hideErrorLine() override { errorLineVisible = false; }
    void setInputLengthCaption(const QString& caption) override { inputLengthCaption = caption; }
    void setCellCaption(int cell, const QString& caption) override { cellCaptions.at(cell) = caption; }
    void setCellColour(int cell, WinColour colour) override { cellColours.at(cell) = colour; }
    void showBreakMarker(int marker, WinColour colour) override { markers.at(marker) = {true, colour}; }
    void hideBreakMarker(int marker) override { markers.at(marker).visible = false; }
    void focusDecimalBox() override { ++decimalBoxFocused; }
    void focusAndSelectAllInput() override { ++inputSelected; }
    void focusAndSelectAllOutput() override { ++outputSelected; }
    MessageAnswer showMessage(const Message& message) override { return messages.append(message), MessageAnswer::Ok; }

    // Options from letters: d h p the forms; A all, O "@" only, else random scope; "@" "." always; n line break.
    static ConversionSettings optionsFrom(const QString& letters)
    {
        const auto has = [&](char c) { return letters.contains(QLatin1Char(c)); };
        const EntityScope scope = has('A') ? EntityScope::All : has('O') ? EntityScope::AtOnly : EntityScope::Random;
        return {has('d'), has('h'), has('p'), scope, has('.'), has('@'), has('n')};
    }

    int visibleMarker() const
    {
        for (int i = 0; i < MarkerCount; ++i)
            if (markers[i].visible)
                return i;
        return -1;
    }
};

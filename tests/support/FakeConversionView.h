#pragma once

#include "ConversionRequest.h"
#include "EngineView.h"

#include <QList>
#include <algorithm>
#include <array>
#include <functional>

// A window without pixels: records what the conversion shows.
class FakeConversionView : public EngineView
{
public:
    QString errorLine, inputLengthCaption; // errorLine is empty while hidden
    std::array<QString, CellCount> cellCaptions;
    std::array<WinColour, CellCount> cellColours{};
    std::array<WinColour, MarkerCount> markers{}; // 0 while hidden
    int decimalBoxFocused = 0, outputSelected = 0;
    QList<Message> messages;
    std::function<void()> onInputChanged;

    void setInputText(const QString& text) override
    {
        if (std::exchange(input, text) != text && onInputChanged) onInputChanged();
    }
    void showErrorLine(const QString& caption) override { errorLine = caption; }
    void hideErrorLine() override { errorLine.clear(); }
    void setInputLengthCaption(const QString& caption) override { inputLengthCaption = caption; }
    void setCellCaption(int cell, const QString& caption) override { cellCaptions.at(cell) = caption; }
    void setCellColour(int cell, WinColour colour) override { cellColours.at(cell) = colour; }
    void showBreakMarker(int marker, WinColour colour) override { markers.at(marker) = colour; }
    void hideBreakMarker(int marker) override { markers.at(marker) = 0; }
    void focusDecimalBox() override { ++decimalBoxFocused; }
    void focusAndSelectAllOutput() override { ++outputSelected; }
    MessageAnswer showMessage(const Message& message) override { messages.append(message); return MessageAnswer::Ok; }

    // Options from letters: d h p the forms; A all, O "@" only, else random scope; "@" "." always; n line break.
    static ConversionSettings optionsFrom(const QString& letters)
    {
        const auto has = [&](char c) { return letters.contains(QLatin1Char(c)); };
        const EntityScope scope = has('A') ? EntityScope::All : has('O') ? EntityScope::AtOnly : EntityScope::Random;
        return {has('d'), has('h'), has('p'), scope, has('.'), has('@'), has('n')};
    }

    ConversionState convert(const ConversionSettings& settings, const QString& text, RandomSource& random)
    {
        options = settings, input = text;
        ConversionRequest request(*this, random); request.ConvertInput();
        return request.state();
    }
    ConversionState convert(const QString& letters, const QString& text, RandomSource& random)
    {
        return convert(optionsFrom(letters), text, random);
    }

    int visibleMarker() const
    {
        const auto shown = std::find_if(markers.begin(), markers.end(), [](WinColour c) { return c != 0; });
        return shown == markers.end() ? -1 : int(shown - markers.begin());
    }
};

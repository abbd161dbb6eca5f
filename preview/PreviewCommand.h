#pragma once

#include <QString>

class ConversionRequest;
class ConversionView;
class MessagePresenter;
class PngWriter;
class RandomSource;
class QUrl;
class UrlOpener;

struct PreviewServices
{
    RandomSource& random;
    PngWriter& png;
    UrlOpener& urls;
    MessagePresenter& messages;
    QString pagesFolder;
};

// The preview: the address image, a conversion when the output is empty, the
// five pages, and Preview.htm handed to the desktop's browser.
class PreviewCommand
{
public:
    PreviewCommand(ConversionView& view, ConversionRequest& request, const PreviewServices& services);

    // The window refuses an empty input before it calls this.
    void run();

private:
    void reportFileError(int number);

    ConversionView& m_view;
    ConversionRequest& m_request;
    PreviewServices m_services;
};

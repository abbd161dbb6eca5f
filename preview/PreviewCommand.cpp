#include "PreviewCommand.h"

#include "AddressImage.h"
#include "AppError.h"
#include "ConversionRequest.h"
#include "ConversionView.h"
#include "Message.h"
#include "PreviewPages.h"
#include "UiLanguage.h"
#include "UrlOpener.h"

#include <QCoreApplication>

PreviewCommand::PreviewCommand(ConversionView& view, ConversionRequest& request, const PreviewServices& services)
    : m_view(view), m_request(request), m_services(services)
{
}

void PreviewCommand::reportFileError(int number)
{
    m_services.messages.show({AppError::descriptionOf(number) + QLatin1Char(':') + QString::number(number),
                              QCoreApplication::translate("PreviewCommand", "エラー"), MessageIcon::Critical, MessageButtons::Ok});
}

void PreviewCommand::run()
{
    QString address = m_view.inputText();
    if (address.startsWith(QStringLiteral("mailto:")))
        address.remove(QStringLiteral("mailto:"));
    // A failed image is reported and ends the command: the browser would show the old picture.
    try {
        if (!AddressImage::RenderAddressImage(address, m_services.pagesFolder, m_services.png, m_services.messages))
            return;
    } catch (const AppError& e) {
        m_services.messages.show(errorNumberMessage(e.number()));
        return;
    }

    if (m_view.outputText().isEmpty())
        m_request.ConvertInput();
    const ConversionState& state = m_request.state();
    const PreviewSource source{m_view.inputText(), m_view.outputText(), state.UsedDecimal, state.UsedHex,
                               state.UsedPercent, state.PrefixOutput};
    try {
        WritePreviewPages(source, m_services.random, m_services.pagesFolder, currentUiLanguage());
    } catch (const AppError& e) {
        // Opening the browser now would show stale or half-written pages.
        reportFileError(e.number());
        return;
    }
    OpenBrowserPage(QUrl::fromLocalFile(m_services.pagesFolder + QStringLiteral("/Preview.htm")), m_services.urls,
                    m_services.messages);
}

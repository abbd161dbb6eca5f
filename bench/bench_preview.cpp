// Times one preview of a 60-character address up to the moment the browser would
// be asked: the address image, the transparency step and the five pages, in each language.
// Run with QT_QPA_PLATFORM=offscreen on a machine without a display.
#include "AddressImage.h"
#include "LibPngWriter.h"
#include "Message.h"
#include "PreviewPages.h"
#include "Random.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class SilentMessages : public MessagePresenter
{
public:
    MessageAnswer show(const Message&) override { return MessageAnswer::Ok; }
};

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    QTemporaryDir folder;
    QDir(folder.path()).mkdir("JSP");
    SystemRandom random;
    LibPngWriter png;
    SilentMessages messages;
    const QString address = "someone.with.a.rather.long.name@mail.example-company.co.jp.x";
    QString converted;
    for (QChar c : address)
        converted += QString("&#x%1;").arg(c.unicode(), 0, 16);
    const PreviewSource source{address, converted, false, true, false, "&#x73;"};

    for (UiLanguage language : {UiLanguage::Japanese, UiLanguage::English}) {
        std::vector<double> times;
        for (int i = 0; i < 200; ++i) {
            QElapsedTimer timer;
            timer.start();
            AddressImage::RenderAddressImage(address, folder.path(), png, messages);
            WritePreviewPages(source, random, folder.path(), language);
            times.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::sort(times.begin(), times.end());
        std::printf("%s pages, preview of a %d-character address: median %.2f ms, 95th percentile %.2f ms, "
                    "fastest %.2f ms\n",
                    language == UiLanguage::English ? "English" : "Japanese", int(address.size()),
                    times[times.size() / 2], times[times.size() * 95 / 100], times.front());
    }
    return 0;
}

// Times ConvertInput on long inputs: all forms, scope all, line-break and padding on.
// Prints the best of several runs and the cost per character.
#include "ConversionRequest.h"
#include "EngineView.h"
#include "Random.h"

#include <QElapsedTimer>
#include <cstdio>

namespace {

double bestNanoseconds(int length, int runs)
{
    EngineView view;
    view.options = {true, true, true, EntityScope::All, true, true, true};
    view.input = QString(length, QLatin1Char('a'));
    SystemRandom random;
    ConversionRequest request(view, random);
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        request.ConvertInput();
        best = std::min(best, double(timer.nsecsElapsed()));
    }
    return best;
}

} // namespace

int main()
{
    const double small = bestNanoseconds(1'000, 2000);
    const double large = bestNanoseconds(100'000, 50);
    std::printf("1,000 characters:   %.3f ms, %.1f ns per character\n", small / 1e6, small / 1e3);
    std::printf("100,000 characters: %.3f ms, %.1f ns per character\n", large / 1e6, large / 1e5);
    std::printf("per-character cost ratio (100,000 / 1,000): %.2f\n", (large / 1e5) / (small / 1e3));
    return 0;
}

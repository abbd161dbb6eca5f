#pragma once

#include "Random.h"

#include <QStringList>

inline QString pick(const QStringList& list, RandomSource& random)
{
    return list[std::min<qsizetype>(qsizetype(random.draw() * list.size()), list.size() - 1)];
}

// A link from every kind of part, drawn anew each time.
inline QString generatedLink(RandomSource& random)
{
    if (random.draw() < 0.04)
        return pick({"data:text/html,<b>a@b.jp</b>", "data:,a%0Ab\tc", "DATA:text/plain;base64,YUBiLmpw"}, random);
    if (random.draw() < 0.35) {
        return pick({"mailto:", "Mailto:", "MAILTO:", ""}, random)
               + pick({"a@x.jp", "info@example.jp,b.c+d@y.co.jp", "%E3%81%82@x.jp", "a%40x.jp", "ü@例え.jp",
                       "u@xn--bcher-kva.de", "u@[192.168.0.1]", "%22a%20b%22@x.jp"}, random)
               + pick({"", "?subject=Hello%20World", "?subject=a%26b&body=1%2B1%3D2",
                       "?cc=x@example.com&subject=%e3%81%8a", "?subject=日本語&body=a=b", "?to=c@d.jp%2Ce@f.jp",
                       "#frag%20x"},
                      random);
    }
    return pick({"  ", "", "", "\t"}, random)
           + pick({"http://", "HTTPS://", "Http://", "https://", "ftp://", "wss:\\\\"}, random)
           + pick({"", "user@", "us%20er:pa%3Ass@", "a.b@"}, random)
           + pick({"example.com", "EXAMPLE.co.jp", "127.0.0.1", "[::1]", "[2001:db8::7]", "例え.jp", "%65x.jp"}, random)
           + pick({"", ":8080", ":443"}, random)
           + pick({"", "/", "/a%20b/c.html", "/~user/パス", "/a\\b", "/@writer", "/%7Euser/%e3%81%82", "/a;b=c,d/%2F"},
                  random)
           + pick({"", "?q=1&r=%2B", "?email=a@b.jp", "?q=日本語", "?a=%26b&c=%3D", "?product=Apache%20httpd-2", "?%"},
                  random)
           + pick({"", "#top", "#%E3%81%82", "#a?b#c"}, random) + pick({"", " ", "\n"}, random);
}

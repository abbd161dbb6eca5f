#pragma once

#include "AddressSpan.h"

#include <QByteArrayView>
#include <QList>

// The addresses text writes with character references ("a&#64;b.jp"), which any harvester that decodes
// references reads: each with the source bytes it spans, in [from, to) of page. An address written
// plainly is left to the plain search.
QList<AddressSpan> referencedAddresses(QByteArrayView page, qsizetype from, qsizetype to);

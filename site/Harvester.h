#pragma once

#include "AddressScanner.h"
#include "AddressSpan.h"

#include <QList>
#include <QString>
#include <QStringView>

// What a harvester takes for a mail address: ASCII and internationalised ones, quoted local parts and IP
// literals. The finder, the check of a rewrite and the test of "already protected" all read with it.

// Bytes an address may hold; a run of them around an "@" is where an address is looked for.
bool addressByte(char c);
// Every address in run; addresses that share characters become one range.
QList<PageLayout::Range> addressesInRun(const QString& run);
// Where a run that ends at an "@" begins when a quoted local part reaches back past runStart (not before limit).
qsizetype quotedRunStart(const char* data, qsizetype runStart, qsizetype at, qsizetype limit);
qsizetype utf8Length(QStringView text);

#pragma once

#include "DecodedPage.h"
#include "HarvestLevels.h"
#include "PageOutcome.h"

#include <QList>
#include <QString>
#include <array>

// Where in a page an address a harvester reads sits.
enum class Placement { Text, Link, Attribute, Title, Comment, Script, Style };

struct ReadableAddress
{
    int line = 0; // from 1
    Placement where = Placement::Text;
    ReadLevel level = ReadLevel::Raw; // the lowest level that reads it
    QString address;
};

// What a harvester still reads in a page. Nothing is written.
namespace SiteCheck {

// Every address in the page, in page order, each once, at the lowest level that reads it.
QList<ReadableAddress> check(const DecodedPage& page);
// Reads the file as a rewrite reads it; a page that cannot be read or told comes back with its problem.
PageOutcome checkFile(const PageRef& page, QList<ReadableAddress>* found);
LevelCounts counts(const QList<ReadableAddress>& found);
// How many of found are read at level or below.
int readableAt(const LevelCounts& counts, ReadLevel level);
QString placementName(Placement where);
// "raw 0, decoded 0, spelled 0"
QString countsText(const LevelCounts& counts);

} // namespace SiteCheck

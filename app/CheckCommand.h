#pragma once

#include "HarvestLevels.h"

#include <QByteArray>
#include <QList>

// qorvane-site --check: what a harvester still reads in the pages; nothing is written.
struct CheckRequest
{
    QList<QByteArray> paths; // "-" alone: one page from standard input
    ReadLevel level = ReadLevel::Decoded;
    bool json = false;
    bool quiet = false;
    bool hidden = false;
};

// 1 when an address is read at request.level or below, or a page could not be checked; 0 otherwise.
int runCheck(const CheckRequest& request);

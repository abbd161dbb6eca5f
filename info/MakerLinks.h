#pragma once

#include <QString>

// The maker's addresses, in one place. The site lives under a domain reserved for
// documentation until the project has a home of its own.
namespace MakerLinks {

inline const QString SiteRoot = QStringLiteral("https://qorvane.example.org");
inline const QString FeedbackAddress = QStringLiteral("feedback@qorvane.example.org");
inline const QString ReaderDownload = QStringLiteral("https://get.adobe.com/reader/");
inline const QString Version = QStringLiteral("ver 2.10");

inline QString topPage() { return SiteRoot + QStringLiteral("/"); }
inline QString webHelp() { return SiteRoot + QStringLiteral("/soft/mirelt_rei.html"); }
inline QString bulletinBoard() { return SiteRoot + QStringLiteral("/php/bbs/pppbbs.php"); }
inline QString softwareLinks() { return SiteRoot + QStringLiteral("/soft/soft_link.html"); }
inline QString magazineReviews() { return SiteRoot + QStringLiteral("/soft/keisai/"); }

} // namespace MakerLinks

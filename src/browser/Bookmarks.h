#pragma once

namespace tw {

// One entry of the Favorites menu; a caption "-" is a separator. A bookmark
// without an address opens the program's own page (the shipped help page,
// until there is a web home page).
struct Bookmark {
    const char *name;
    const char *caption;
    const char *address;
};

inline constexpr Bookmark kBookmarks[] = {
    {"mnu1", "Brightfold", nullptr},
    {"LineA", "-", nullptr},
    {"a1", "Altavista", "https://duckduckgo.com/"},
    {"a2", "Yahoo", "https://www.yahoo.com/"},
    {"Line1", "-", nullptr},
    {"mnu2", "Geocities", "https://neocities.org/"},
    {"mnu3", "Rocket Mail", "https://mail.yahoo.com/"},
    {"mnu44", "Hotmail", "https://outlook.live.com/"},
    {"Line2", "-", nullptr},
    {"mnu11", "Download", "https://download.cnet.com/"},
    {"mnu5", "Filez", "https://www.softpedia.com/"},
    {"mnui6", "Shareware", "https://www.snapfiles.com/"},
    {"mnu7", "Winfiles", "https://www.majorgeeks.com/"},
    {"Line3", "-", nullptr},
    {"mnu12", "Game Center", "https://www.gamespot.com/"},
    {"mnu10", "HappyPuppy", "https://www.ign.com/"},
    {"Line4", "-", nullptr},
    {"mnu8", "Mp3", "https://www.jamendo.com/"},
    {"mnu9", "Layer3", "https://www.iis.fraunhofer.de/en/ff/amm/consumer-electronics/mp3.html"},
    {"mnuW", "Winamp", "https://www.winamp.com/"},
};

// The Search button's page: a search engine that is not among the bookmarks.
inline constexpr const char *kSearchAddress = "https://www.google.com/";

} // namespace tw

#include "pty/pty_tables.h"

#include <array>

namespace halvane {
namespace {

constexpr std::array<PtyDefault, 31> kRds{{
    {1, "News", "news"},
    {2, "Current affairs", "current_affairs"},
    {3, "Information", "information"},
    {4, "Sport", "sport"},
    {5, "Education", "education"},
    {6, "Drama", "drama"},
    {7, "Culture", "culture"},
    {8, "Science", "science"},
    {9, "Varied", "varied"},
    {10, "Pop music", "pop"},
    {11, "Rock music", "rock"},
    {12, "M.O.R.", "mor"},
    {13, "Light classical", "light_classics"},
    {14, "Serious classical", "serious_classics"},
    {15, "Other music", "other"},
    {16, "Weather", "weather"},
    {17, "Finance", "finance"},
    {18, "Children\u2019s programmes", "childrens"},  // a typographic apostrophe
    {19, "Social affairs", "social_affairs"},
    {20, "Religion", "religion"},
    {21, "Phone in", "phone_in"},
    {22, "Travel", "travel"},
    {23, "Leisure", "leisure"},
    {24, "Jazz music", "jazz"},
    {25, "Country music", "country"},
    {26, "National music", "national"},
    {27, "Oldies music", "oldies"},
    {28, "Folk music", "folk"},
    {29, "Documentary", "documentary"},
    {30, "Alarm test", "alarm_test"},
    {31, "Alarm", "alarm"},
}};

constexpr std::array<PtyDefault, 26> kRbds{{
    {1, "News", "news"},
    {2, "Information", "information"},
    {3, "Sports", "sports"},
    {4, "Talk", "talk"},
    {5, "Rock music", "rock"},
    {6, "Classic rock", "classic_rock"},
    {7, "Adult hits", "adult_hits"},
    {8, "Soft rock", "soft_rock"},
    {9, "Top 40", "top_40"},
    {10, "Country music", "country"},
    {11, "Oldies music", "oldies"},
    {12, "Soft music", "soft"},
    {13, "Nostalgia", "nostalgia"},
    {14, "Jazz music", "jazz"},
    {15, "Classical", "classical"},
    {16, "R&B music", "r&b"},
    {17, "Soft R&B", "soft_r&b"},
    {18, "Language", "language"},
    {19, "Religious music", "religious_music"},
    {20, "Religious talk", "religious_talk"},
    {21, "Personality", "personality"},
    {22, "Public", "public"},
    {23, "College", "college"},
    {29, "Weather", "weather"},
    {30, "Emergency test", "emergency_test"},
    {31, "ALERT! ALERT!", "emergency"},
}};

}  // namespace

std::span<const PtyDefault> RdsPtyDefaults() { return kRds; }
std::span<const PtyDefault> RbdsPtyDefaults() { return kRbds; }

}  // namespace halvane

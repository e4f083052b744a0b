#include "settings/CardMedia.h"

#include <cctype>
#include <cstdio>

#include "settings/CardSizes.h"

namespace tavgdi {

namespace {

int hundredthsFor(unsigned dots)
{
    return static_cast<int>((static_cast<unsigned long long>(dots) * 2540 + 299) / 300);
}

std::string millimetres(int hundredths)
{
    char text[32];
    if (hundredths % 100 == 0)
        std::snprintf(text, sizeof text, "%d", hundredths / 100);
    else if (hundredths % 10 == 0)
        std::snprintf(text, sizeof text, "%d.%d", hundredths / 100, (hundredths % 100) / 10);
    else
        std::snprintf(text, sizeof text, "%d.%02d", hundredths / 100, hundredths % 100);
    return text;
}

} // namespace

const std::vector<CardMedia>& cardMediaList()
{
    static const std::vector<CardMedia> list = [] {
        std::vector<CardMedia> cards;
        for (const CardSize& size : CardSizes) {
            const int width = hundredthsFor(size.width), length = hundredthsFor(size.height);
            bool isKnownSize = false;
            for (const CardMedia& known : cards)
                isKnownSize = isKnownSize || (known.width == width && known.length == length);
            if (isKnownSize)
                continue;
            std::string name = size.name;
            for (char& c : name)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            cards.push_back({"custom_" + name + "_" + millimetres(width) + "x" + millimetres(length) + "mm", size.name,
                             width, length});
        }
        return cards;
    }();
    return list;
}

} // namespace tavgdi

#pragma once

#include <QColor>
#include <QString>
#include <QVariantMap>

#include <optional>

class DMProjectDependency;

// The user's saved link style, the user default "DMSavedLinkStyle": the look of the last link
// changed in the link inspector, given to every link drawn next on the canvas. A dictionary of
// "color" (the colour in the form of every colour default, DMObjectSerialization's), "colorDict"
// (the same as {"r", "g", "b", "a"}, written for other readers, never read), "linkStyle",
// "hasArrow", "dashStyle" and "thickness". The kind is not part of it.
struct DMSavedLinkStyle
{
    static const QString kDefaultsKey; // "DMSavedLinkStyle"

    QColor color;
    int linkStyle = 0;
    bool hasArrow = true;
    int dashStyle = 0;
    int thickness = 0;

    static DMSavedLinkStyle styleOfDependency(const DMProjectDependency &dependency);
    QVariantMap dictionaryRepresentation() const;
    // Nothing for a dictionary with a missing or wrongly typed value or a colour that does not
    // decode: a damaged style is ignored as a whole.
    static std::optional<DMSavedLinkStyle> styleWithDictionary(const QVariant &dictionary);

    // The saved style, when there is a sound one.
    static std::optional<DMSavedLinkStyle> savedStyle();
    // Stores the dependency's look under the key and writes the defaults to disk at once.
    static void saveStyleOfDependency(const DMProjectDependency &dependency);
    // Gives the dependency the saved look; false (the dependency unchanged) without a sound one.
    static bool applySavedStyleToDependency(DMProjectDependency &dependency);
};

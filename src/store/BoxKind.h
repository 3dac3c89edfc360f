#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

// The two kinds of box the unit records into. Each has a folder of its own, of the same name on the unit and in a
// download folder: the one place those names are written.
enum class BoxKind { AnsweringMachine, Extension };

// Both kinds, in the order the unit lists them and the program shows them.
inline constexpr std::array<BoxKind, 2> kBoxKinds{BoxKind::AnsweringMachine, BoxKind::Extension};

inline QString boxKindDir(BoxKind kind) {
    return kind == BoxKind::AnsweringMachine ? QStringLiteral("rusuroku") : QStringLiteral("naisen");
}

// The kind whose folder is called name; nothing for any other name.
inline std::optional<BoxKind> boxKindOfDir(QStringView name) {
    for (const BoxKind kind : kBoxKinds) {
        if (name == boxKindDir(kind)) {
            return kind;
        }
    }
    return std::nullopt;
}

inline BoxKind boxKindOf(bool extension) {
    return extension ? BoxKind::Extension : BoxKind::AnsweringMachine;
}

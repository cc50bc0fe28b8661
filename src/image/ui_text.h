// The texts a user reads are written in Korean, the source language, and double as
// the keys of the translations. The core marks them with QT_TR_NOOP (a no-op here, the
// same definition Qt has) so that lupdate collects them; the front ends translate them
// when they show them. A text that is put together from a pattern (a number or a name
// inside it) is translated before it is formatted, through UiText.
#pragma once

#include <functional>
#include <string>

#ifndef QT_TR_NOOP
#define QT_TR_NOOP(x) x
#endif

namespace velmira {

// The text in the user's language: the Korean itself until a front end has set a
// lookup. The returned pointer stays valid for the life of the program.
const char* UiText(const char* korean);

// Installs the lookup (empty function: none). A lookup that returns an empty string
// leaves the Korean text. Thread-safe; earlier answers are forgotten.
void SetUiTextLookup(std::function<std::string(const char*)> lookup);

}  // namespace velmira

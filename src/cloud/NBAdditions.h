#pragma once

#include <QString>

// A new globally unique string on every call: the identifiers of the engine's transactions.
QString NBUniqueString();

#pragma once
// Row formats of the book shared by its sections (internal to relatorio/).

namespace layoutlivro {

// Register row at column 2: "|" at column 4, the CFOP text in columns 5 to 61, then the
// accounting value, tax base, tax, exempt or untaxed, and other amounts.
inline constexpr const char* kLinhaRegistro = "  |%-57s|%17s|%17s|%17s|%18s|%20s";

// Summary row at column 2: "|" at column 7, the item text in columns 9 to 104, "|" at 105, the
// auxiliary column in 106 to 130, "|" at 131, the sums column in 132 to 156.
inline constexpr const char* kLinhaResumo = "     | %-96s|%25s|%25s";

}  // namespace layoutlivro

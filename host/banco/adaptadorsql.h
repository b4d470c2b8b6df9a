#pragma once
// The settlement's SQL texts are written for the host's original database dialect. SQLite lacks
// a few of its constructs; this adapter rewrites them just before a text is prepared, so the texts
// themselves stay as the settlement writes them:
//   SELECT FIRST n ...              -> SELECT ... LIMIT n
//   SUBSTRING(x FROM a FOR b)       -> substr(x, a, b)
//   a STARTING WITH b               -> (substr(a, 1, length(b)) = (b))
//   CAST(text AS DATE)              -> date built from a 'mm/dd/yyyy' text (NULL when it is not one)
#include <string>
#include <string_view>

std::string AdaptarSQL(std::string_view sql);

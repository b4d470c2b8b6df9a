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

// A text in SQLite's dialect (a query, or a script of statements separated by ';') rewritten for
// a PostgreSQL server: with `parametros`, '?' and '?n' become '$n'; BEGIN IMMEDIATE becomes BEGIN;
// GLOB becomes a regular expression match; max/min of two values GREATEST/LEAST; char() chr();
// ORDER BY keeps SQLite's place for NULL (first ascending, last descending). In CREATE TABLE and
// ALTER TABLE, INTEGER is 64-bit, an INTEGER PRIMARY KEY an identity whose sequence follows the
// ids written by hand, DATE the ISO text SQLite keeps, text columns compare byte by byte and keep
// texts longer than their declared length, and REFERENCES stay documentation as in SQLite. With `casosComoTexto` every branch of CASE is read as
// text (numbers without trailing zeros), for the texts whose branches SQLite lets differ in type.
std::string ParaPostgreSQL(std::string_view sql, bool parametros, bool casosComoTexto = false);

// Functions of SQLite that the host's and the schema's texts use, defined on the server (typeof,
// date with a modifier, round of a double to n places) and the comparison of codes kept as text
// with integers written without quotes.
const char* SqlCompatibilidadePostgreSQL();

#pragma once
// Formatting of texts and amounts the way the book and the SQL texts expect them.
#include <string>
#include <string_view>
#include <vector>

#include "host/base/moeda.h"

// Delphi-style Format: %s and %d take the next argument, %N:s / %N:d take argument N (0-based)
// and set the next one to N+1; an optional '-' and width pad to that many characters (left-aligned
// with '-'); %% is a percent sign. Arguments are already texts. A missing argument or an unknown
// directive throws std::invalid_argument naming the format.
std::string Format(std::string_view formato, const std::vector<std::string>& args);

// The amount with two decimals, '.' between thousands and ',' before the cents; leading '-' when
// negative ("0.00," and "###,###,##0.00," of the book). Rounded half away from zero to cents.
std::string FormatarValor(Currency valor);

// The number with exactly `casas` decimals (0..4) after a ',' and no thousands separators, as the
// book's "##0.0000" shows a rate ("2,5000"); rounded half away from zero.
std::string FormatarFixo(Currency valor, int casas);

// Guide and specific-debit amounts: FormatarValor padded on the left with blanks to 15.
std::string FormatarValorGuia(Currency valor);

// Reads "1.234,56", "1234,56" or "1234.56" (also with a leading '-'); false when not a number.
bool TentarLerValor(std::string_view texto, Currency& resultado);

// A whole number written as one (blanks around it and a leading sign allowed); 0 when the text is
// empty, is not one or does not fit 32 bits: a configured number that is not one counts as 0.
int32_t InteiroOuZero(std::string_view texto);

// Characters of `valor` placed in the '#' positions of the mask, its literals kept (a mask
// "##.###-###;0" holds no literals in the value); positions left without a character show '_'.
std::string FormatarMascara(const std::string& mascara, const std::string& valor);

// The number padded on the left with zeros to `largura` digits (never cut).
std::string FormatarZeros(int64_t numero, size_t largura);

// The amount as plain decimal text with a point and no thousands separators, in its shortest form
// ("1234.5", "0", "-0.0125"): the contents of the state returns' detail rows.
std::string FormatarDecimal(Currency valor);

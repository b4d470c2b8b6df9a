#pragma once
// Dates of the settlement: TDateTime counts days since 30 December 1899, the fraction being the
// time of day. Bookkeeping dates are whole days. The database keeps them as ISO text.
#include <string>
#include <string_view>

using TDateTime = double;

struct TDataPartes {
  int ano = 0, mes = 0, dia = 0;
};

TDateTime EncodeDate(int ano, int mes, int dia);  // throws std::invalid_argument on a bad date
bool TryEncodeDate(int ano, int mes, int dia, TDateTime& resultado);
TDataPartes DecodeDate(TDateTime data);
int DiasNoMes(int ano, int mes);
TDateTime FimDoMes(TDateTime data);
TDateTime InicioDoMes(TDateTime data);
TDateTime IncMes(TDateTime data, int meses);  // same day clipped to the month's end
int DiaDaSemana(TDateTime data);              // 1 = Sunday ... 7 = Saturday
TDateTime Hoje();
TDateTime Agora();

std::string DataISO(TDateTime data);           // 2026-01-31
std::string DataBR(TDateTime data);            // 31/01/2026
std::string DataHoraBR(TDateTime data);        // 31/01/2026 14:05:09
// "dd/mm/aaaa" or "aaaa-mm-dd" (also "aaaa-mm-dd hh:mm:ss"); false when the text is not a date.
bool TentarLerData(std::string_view texto, TDateTime& resultado);

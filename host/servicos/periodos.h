#pragma once
// Settlement periods of each periodicity. Sub-monthly periods are blocks counted from the 1st of
// the month whose last block runs to the month's end (quinquidial 1-5 ... 26-end, weekly 1-7, 8-14,
// 15-21, 22-end, decendial 1-10, 11-20, 21-end, fortnightly 1-15, 16-end); periods of one month or more
// are calendar blocks (bimonthly Jan-Feb, quarterly Jan-Mar, half-yearly Jan-Jun, yearly).
#include <string>

#include "host/base/datas.h"
#include "host/servicos/tipos.h"

// Last day of the period that contains (and normally starts at) the date.
TDateTime IncPeriodo(TDateTime data, TPeriodicidade p);
// First day of the period that contains (and normally ends at) the date.
TDateTime DecPeriodo(TDateTime data, TPeriodicidade p);
std::string NomePeriodicidade(TPeriodicidade p);
bool PeriodicidadeValida(TPeriodicidade p);

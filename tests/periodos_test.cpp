// The period walk of every periodicity: contiguous periods covering the year, each recognised as a
// period start by DecPeriodo, sub-monthly ones closing on the month's last day.
#include <gtest/gtest.h>

#include "host/servicos/periodos.h"

namespace {
TDateTime D(int a, int m, int d) { return EncodeDate(a, m, d); }
}  // namespace

// 2024 is a leap year; sub-monthly periods restart on each month's 1st: 6 of five days, 4 weeks,
// 3 of ten days or 2 fortnights a month.
TEST(Periodos, CadaPeriodicidadeCobreOAnoSemLacunas) {
  for (auto [p, esperado] : {std::pair{periodicidade::Diaria, 366}, {periodicidade::Quinquidial, 72},
                             {periodicidade::Semanal, 48}, {periodicidade::Decendial, 36}, {periodicidade::Quinzenal, 24},
                             {periodicidade::Mensal, 12}, {periodicidade::Bimestral, 6}, {periodicidade::Trimestral, 4},
                             {periodicidade::Semestral, 2}, {periodicidade::Anual, 1}}) {
    SCOPED_TRACE(NomePeriodicidade(p));
    int periodos = 0;
    TDateTime ini = D(2024, 1, 1);
    for (; ini <= D(2024, 12, 31); ++periodos) {
      TDateTime fim = IncPeriodo(ini, p);
      ASSERT_GE(fim, ini);
      EXPECT_EQ(DecPeriodo(fim, p), ini);
      EXPECT_EQ(IncPeriodo(fim, p), fim);
      if (p <= periodicidade::Quinzenal) {
        EXPECT_EQ(DecodeDate(ini).mes, DecodeDate(fim).mes);
      }
      ini = fim + 1;
    }
    EXPECT_EQ(ini, D(2025, 1, 1));
    EXPECT_EQ(periodos, esperado);
  }
}

// From a date inside a period the walk ends where that period ends (sub-monthly ones on the month's
// last day), and DecPeriodo does not take the date for a start: what the ST walk relies on to skip
// ICMS periods that do not start an ST period.
TEST(Periodos, DataNoMeioDoPeriodoTerminaComEleENaoEInicio) {
  EXPECT_EQ(IncPeriodo(D(2026, 2, 16), periodicidade::Quinzenal), D(2026, 2, 28));
  EXPECT_EQ(IncPeriodo(D(2026, 2, 1), periodicidade::Quinzenal), D(2026, 2, 15));
  EXPECT_EQ(IncPeriodo(D(2026, 1, 21), periodicidade::Decendial), D(2026, 1, 31));
  EXPECT_EQ(IncPeriodo(D(2026, 1, 22), periodicidade::Semanal), D(2026, 1, 31));
  EXPECT_EQ(IncPeriodo(D(2026, 2, 26), periodicidade::Quinquidial), D(2026, 2, 28));
  EXPECT_EQ(DecPeriodo(D(2026, 1, 31), periodicidade::Decendial), D(2026, 1, 21));
  EXPECT_EQ(IncPeriodo(D(2026, 11, 5), periodicidade::Bimestral), D(2026, 12, 31));
  const TDateTime fev = D(2026, 2, 1);
  EXPECT_NE(DecPeriodo(IncPeriodo(fev, periodicidade::Trimestral), periodicidade::Trimestral), fev);
}

TEST(Periodos, PeriodicidadeInvalidaEErroClaro) {
  EXPECT_THROW(IncPeriodo(D(2026, 1, 1), 0), std::invalid_argument);
  EXPECT_THROW(DecPeriodo(D(2026, 1, 1), 6), std::invalid_argument);
  EXPECT_FALSE(PeriodicidadeValida(12));
}

#include "host/base/datas.h"

#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <stdexcept>

namespace {
// Days from 1899-12-30 to 1970-01-01.
constexpr int kEpoca1970 = 25569;

long DiasDesde1970(int y, int m, int d) {  // civil-from-days inverse (H. Hinnant)
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = static_cast<unsigned>((153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1);
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468;
}
}  // namespace

int DiasNoMes(int ano, int mes) {
  static const int dias[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (mes == 2 && ((ano % 4 == 0 && ano % 100 != 0) || ano % 400 == 0)) return 29;
  return dias[mes - 1];
}

bool TryEncodeDate(int ano, int mes, int dia, TDateTime& r) {
  if (ano < 1 || ano > 9999 || mes < 1 || mes > 12 || dia < 1 || dia > DiasNoMes(ano, mes)) return false;
  r = static_cast<double>(DiasDesde1970(ano, mes, dia) + kEpoca1970);
  return true;
}

TDateTime EncodeDate(int ano, int mes, int dia) {
  TDateTime r;
  if (!TryEncodeDate(ano, mes, dia, r))
    throw std::invalid_argument("Data inválida: " + std::to_string(dia) + "/" + std::to_string(mes) + "/" + std::to_string(ano));
  return r;
}

TDataPartes DecodeDate(TDateTime data) {
  long z = static_cast<long>(std::floor(data)) - kEpoca1970 + 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long y = static_cast<long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

TDateTime FimDoMes(TDateTime data) {
  auto p = DecodeDate(data);
  return EncodeDate(p.ano, p.mes, DiasNoMes(p.ano, p.mes));
}

TDateTime InicioDoMes(TDateTime data) {
  auto p = DecodeDate(data);
  return EncodeDate(p.ano, p.mes, 1);
}

TDateTime IncMes(TDateTime data, int meses) {
  auto p = DecodeDate(data);
  int total = p.ano * 12 + (p.mes - 1) + meses;
  int ano = total / 12, mes = total % 12 + 1;
  int dia = p.dia > DiasNoMes(ano, mes) ? DiasNoMes(ano, mes) : p.dia;
  return EncodeDate(ano, mes, dia);
}

int DiaDaSemana(TDateTime data) {
  long d = static_cast<long>(std::floor(data));
  return static_cast<int>(((d - 1) % 7 + 7) % 7) + 1;  // 1899-12-31 was a Sunday
}

TDateTime Agora() {
  std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
         (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) / 86400.0;
}

TDateTime Hoje() { return std::floor(Agora()); }

std::string DataISO(TDateTime data) {
  auto p = DecodeDate(data);
  char b[16];
  std::snprintf(b, sizeof b, "%04d-%02d-%02d", p.ano, p.mes, p.dia);
  return b;
}

std::string DataBR(TDateTime data) {
  auto p = DecodeDate(data);
  char b[16];
  std::snprintf(b, sizeof b, "%02d/%02d/%04d", p.dia, p.mes, p.ano);
  return b;
}

std::string DataHoraBR(TDateTime data) {
  double frac = data - std::floor(data);
  int seg = static_cast<int>(std::lround(frac * 86400.0));
  if (seg >= 86400) seg = 86399;
  char b[32];
  std::snprintf(b, sizeof b, " %02d:%02d:%02d", seg / 3600, seg / 60 % 60, seg % 60);
  return DataBR(data) + b;
}

bool TentarLerData(std::string_view t, TDateTime& r) {
  int a = 0, m = 0, d = 0;
  std::string s(t);
  char extra = 0;
  if (s.size() >= 10 && s[4] == '-' && s[7] == '-') {
    if (std::sscanf(s.c_str(), "%4d-%2d-%2d", &a, &m, &d) != 3) return false;
    if (s.size() > 10 && s[10] != ' ' && s[10] != 'T') return false;
  } else {
    // d/m/aaaa with one or two digits for day and month ("5/3/2026"), always four for the year.
    int n1 = 0, n2 = 0, n3 = 0;
    if (std::sscanf(s.c_str(), "%2d/%n%2d/%n%4d%n%c", &d, &n1, &m, &n2, &a, &n3, &extra) != 3) return false;
    if (n3 - n2 != 4 || static_cast<size_t>(n3) != s.size() || !std::isdigit(static_cast<unsigned char>(s[0])) ||
        !std::isdigit(static_cast<unsigned char>(s[static_cast<size_t>(n1)])) ||
        !std::isdigit(static_cast<unsigned char>(s[static_cast<size_t>(n2)])))
      return false;
  }
  return TryEncodeDate(a, m, d, r);
}

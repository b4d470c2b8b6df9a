#pragma once
// The host main object (FormPrincipal): the current company and establishment and the date
// literal of the SQL texts.
#include <cstdint>
#include <string>

#include "host/base/datas.h"

class TQDConnection;

class TFormPrincipal {
 public:
  explicit TFormPrincipal(TQDConnection& conexao) : c_(conexao) {}
  // The date as a quoted ISO literal: '2026-01-31'.
  static std::string DataSQL(TDateTime data) { return "'" + DataISO(data) + "'"; }
  TQDConnection& Conexao() { return c_; }
  int32_t IdEmpresaAtual = 0;
  int64_t IdFilialAtual = 0;

 private:
  TQDConnection& c_;
};

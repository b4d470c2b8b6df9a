#pragma once
// Bookkeeping utilities (GUtilEscrita): the CFOP mask with its suffix length, and the
// establishment's digital-bookkeeping profile.
#include <cstdint>

#include "host/base/datas.h"
#include "host/servicos/tipos.h"

class TQDConnection;

class TUtilEscrita {
 public:
  explicit TUtilEscrita(TQDConnection& conexao) : c_(conexao) {}
  virtual ~TUtilEscrita() = default;
  // From HS_CONFIG CFOP_MASCARA / CFOP_SUFIXO (default "9.999.999", 3).
  TMascaraCfop GetMascaraESufixoCfop();
  // True when the profile in force at the date asks for the auxiliary record (HS_PERFILEFD.REGISTROAUX = 1).
  virtual bool GetPerfilEFD(int64_t idFilial, TDateTime data);

 private:
  TQDConnection& c_;
  bool mascaraLida_ = false;
  TMascaraCfop mascara_;
};

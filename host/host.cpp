#include "host/host.h"

#include <stdexcept>

TApuracaoFuncoes* GFuncoes = nullptr;
TUtilSistema* GUtilSistema = nullptr;
TUtilEscrita* GUtilEscrita = nullptr;
TQDInterface* QDInterface = nullptr;
TFormPrincipal* FormPrincipal = nullptr;

THost::THost(TQDConnection& conexao, TInteracao& interacao)
    : conexao_(conexao),
      interacao_(interacao),
      funcoes_(std::make_unique<TApuracaoFuncoes>(conexao)),
      util_(std::make_unique<TUtilSistema>(conexao, interacao)),
      escrita_(std::make_unique<TUtilEscrita>(conexao)),
      interface_(std::make_unique<TQDInterface>(conexao, interacao)),
      principal_(std::make_unique<TFormPrincipal>(conexao, *interface_)) {
  if (GFuncoes) throw std::logic_error("Já existe um host ativo");
  GFuncoes = funcoes_.get();
  GUtilSistema = util_.get();
  GUtilEscrita = escrita_.get();
  QDInterface = interface_.get();
  FormPrincipal = principal_.get();
}

THost::~THost() {
  GFuncoes = nullptr;
  GUtilSistema = nullptr;
  GUtilEscrita = nullptr;
  QDInterface = nullptr;
  FormPrincipal = nullptr;
}

void THost::SetFuncoes(std::unique_ptr<TApuracaoFuncoes> f) {
  funcoes_ = std::move(f);
  GFuncoes = funcoes_.get();
}

void THost::SetUtilEscrita(std::unique_ptr<TUtilEscrita> u) {
  escrita_ = std::move(u);
  GUtilEscrita = escrita_.get();
}

#pragma once
// The run's interaction on the desktop: messages and questions as modal message boxes with the
// captions and buttons the run gives, and the auxiliary-data dialogs as forms built from their
// fields (TDialogoDados). They open over whatever window is in front (the progress of the run, the
// preview), so a question never hides behind the window that caused it.
#include <QString>

#include "host/interacao/interacao.h"

class QWidget;

// "\r" ends a line in the run's texts; a message box wants "\n".
QString TextoTela(const std::string& texto);

class TInteracaoQt : public TInteracao {
 public:
  // `principal`: the window dialogs open over when no other window is in front (may be null).
  explicit TInteracaoQt(QWidget* principal = nullptr) : principal_(principal) {}
  void SetPrincipal(QWidget* principal) { principal_ = principal; }

  void ExibirMensagem(const std::string& texto, TTipoMensagem tipo) override;
  int ExibirMensagemPersonalizada(const std::string& texto, TTipoMensagem tipo, const std::vector<TBotao>& botoes,
                                  TBotao padrao, const std::string& titulo,
                                  const std::vector<std::string>& legendas) override;
  bool PerguntarSimNao(const std::string& texto, const std::string& titulo, bool padraoSim) override;
  bool EditarDados(const std::string& titulo, std::vector<TCampoDialogo>& campos,
                   TTeclasConfirmacao teclas = {}) override;

  // The window a dialog opens over now.
  QWidget* Pai() const;

 private:
  // Places a dialog of the run at the centre of the program's window.
  void CentrarNoFormulario(QWidget& dialogo) const;
  QWidget* principal_;
};

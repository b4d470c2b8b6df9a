#include "interacaoqt.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "dialogodados.h"

QString TextoTela(const std::string& texto) {
  QString t = QString::fromStdString(texto);
  t.replace("\r\n", "\n");
  t.replace('\r', '\n');
  return t;
}

namespace {

QMessageBox::Icon Icone(TTipoMensagem tipo) {
  switch (tipo) {
    case TTipoMensagem::Aviso: return QMessageBox::Warning;
    case TTipoMensagem::Erro: return QMessageBox::Critical;
    case TTipoMensagem::Informacao: return QMessageBox::Information;
    case TTipoMensagem::Confirmacao: return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

const char* Titulo(TTipoMensagem tipo) {
  switch (tipo) {
    case TTipoMensagem::Aviso: return "Aviso";
    case TTipoMensagem::Erro: return "Erro";
    case TTipoMensagem::Informacao: return "Informação";
    case TTipoMensagem::Confirmacao: return "Confirmação";
  }
  return "";
}

}  // namespace

void TInteracaoQt::CentrarNoFormulario(QWidget& dialogo) const {
  // The progress window the run's dialogs would centre on has just been shown, and under a window
  // manager its place is not known yet: centred on it, a dialog landed at the screen's corner.
  // The program's window is where the user looks.
  QWidget* janela = principal_ ? principal_->window() : nullptr;
  if (!janela || !janela->isVisible()) return;
  dialogo.adjustSize();
  dialogo.move(janela->frameGeometry().center() - dialogo.rect().center());
}

QWidget* TInteracaoQt::Pai() const {
  if (QWidget* w = QApplication::activeModalWidget()) return w;
  if (QWidget* w = QApplication::activeWindow()) return w;
  return principal_;
}

void TInteracaoQt::ExibirMensagem(const std::string& texto, TTipoMensagem tipo) {
  QMessageBox caixa(Icone(tipo), Titulo(tipo), TextoTela(texto), QMessageBox::Ok, Pai());
  caixa.setObjectName("dlgMensagem");
  CentrarNoFormulario(caixa);
  caixa.exec();
}

int TInteracaoQt::ExibirMensagemPersonalizada(const std::string& texto, TTipoMensagem tipo,
                                              const std::vector<TBotao>& botoes, TBotao padrao,
                                              const std::string& titulo, const std::vector<std::string>& legendas) {
  QMessageBox caixa(Icone(tipo), QString::fromStdString(titulo), TextoTela(texto), QMessageBox::NoButton, Pai());
  caixa.setObjectName("dlgPergunta");
  std::vector<std::pair<QPushButton*, TBotao>> criados;
  QPushButton* escape = nullptr;
  for (size_t i = 0; i < botoes.size(); ++i) {
    // One role for all keeps the buttons in the order the run gives them (the standard order of
    // their kinds), which a layout by roles would change.
    QPushButton* b = caixa.addButton(QString::fromStdString(i < legendas.size() ? legendas[i] : ""),
                                     QMessageBox::ActionRole);
    criados.emplace_back(b, botoes[i]);
    if (botoes[i] == padrao) caixa.setDefaultButton(b);
    // Closing the box is the cancel answer when there is one (a cancelled question may stop the run).
    if (botoes[i] == TBotao::Cancelar) escape = b;
  }
  if (escape) caixa.setEscapeButton(escape);
  CentrarNoFormulario(caixa);
  caixa.exec();
  for (const auto& [b, botao] : criados)
    if (caixa.clickedButton() == b) return ResultadoModal(botao);
  return mrCancel;
}

bool TInteracaoQt::PerguntarSimNao(const std::string& texto, const std::string& titulo, bool padraoSim) {
  return ExibirMensagemPersonalizada(texto, TTipoMensagem::Confirmacao, {TBotao::Sim, TBotao::Nao},
                                     padraoSim ? TBotao::Sim : TBotao::Nao, titulo, {"&Sim", "&Não"}) == mrYes;
}

bool TInteracaoQt::EditarDados(const std::string& titulo, std::vector<TCampoDialogo>& campos,
                               TTeclasConfirmacao teclas) {
  TDialogoDados dialogo(QString::fromStdString(titulo), campos, teclas, Pai());
  CentrarNoFormulario(dialogo);
  if (dialogo.exec() != QDialog::Accepted) return false;
  campos = dialogo.Campos();
  return true;
}

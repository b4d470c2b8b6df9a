#pragma once
// The desktop program's window: an office database open (file dialog, a server's URI, recent
// offices, or a new demo office created from the menu), the host installed over it with the desktop interaction, the
// ledger printing module, and the report form "Livro Registro de Apuração do ICMS" as its content.
// Opening another office closes the form, the module and the host of the one before.
#include <QMainWindow>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class TFormularioLivro;
class TInteracaoQt;
class TdmLivroICMS;
class THost;
class TQDConnection;

class TJanelaPrincipal : public QMainWindow {
  Q_OBJECT

 public:
  TJanelaPrincipal();
  ~TJanelaPrincipal() override;

  // Opens an office database, a SQLite file or a server's postgresql:// URI (its password, if it
  // carries one, is used for this connection only); false (after telling the user why) when it
  // cannot be opened.
  bool AbrirEscritorio(const QString& arquivo);
  // Creates a database with the demo office in `arquivo` (which must not exist) and opens it.
  bool CriarDemonstracao(const QString& arquivo);
  void FecharEscritorio();

  TFormularioLivro* Formulario() const { return formulario_; }
  TdmLivroICMS* Modulo() const { return modulo_.get(); }
  // The office open: a file's absolute path, or a server's URI without its password.
  const QString& Arquivo() const { return arquivo_; }

 protected:
  void closeEvent(QCloseEvent* evento) override;

 private:
  void MontarMenus();
  // Releases the form, the module, the host and the connection, in that order.
  void Liberar();
  void PedirArquivo();
  void PedirServidor();
  void PedirDemonstracao();
  void AtualizarRecentes();
  void LembrarPedido();
  void MostrarSemEscritorio();

  std::unique_ptr<TInteracaoQt> interacao_;
  std::unique_ptr<TQDConnection> conexao_;
  std::unique_ptr<THost> host_;
  std::unique_ptr<TdmLivroICMS> modulo_;
  TFormularioLivro* formulario_ = nullptr;
  QString arquivo_;
  QMenu* recentes_ = nullptr;
  QAction* actImprimir_ = nullptr;
  QAction* actObservacoes_ = nullptr;
  QAction* actAcentos_ = nullptr;
  QLabel* banco_ = nullptr;
};

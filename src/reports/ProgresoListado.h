#pragma once
#include <QDialog>
#include <QElapsedTimer>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

/// The small modal window that follows a long gathering: the listing's name,
/// "Clientes leídos: N de M", a bar and "Cancelar". The gathering calls
/// `ClienteLeido` once per customer; the window shows itself only once the
/// gathering has run for half a second, so short listings never flash it, and
/// redraws at most every 100 ms, so following the gathering costs it nothing
/// measurable. Cancelling makes the next `ClienteLeido` throw fw::Abort, which
/// ends the gathering quietly. Lives on the stack of the routine that gathers.
class TFormProgresoListado : public QDialog
{
public:
    static constexpr int kEsperaMs = 500;
    static constexpr int kRefrescoMs = 100;

    /// `contar` gives M, the customers the gathering will read; it runs only if
    /// the window comes to be shown.
    TFormProgresoListado(const QString &listado, std::function<int()> contar, QWidget *parent);

    /// One more customer read. Throws fw::Abort once the user has cancelled.
    void ClienteLeido();
    bool Cancelado() const { return m_cancelado; }

    QLabel *LabelListado = nullptr;
    QLabel *LabelClientesLeidos = nullptr;
    QProgressBar *ProgressBarClientes = nullptr;
    QPushButton *BotonCancelar = nullptr;

    /// Esc and the window's close box cancel as "Cancelar" does.
    void reject() override;

private:
    void Mostrar();
    void Refrescar();

    std::function<int()> m_contar;
    QElapsedTimer m_reloj;
    qint64 m_siguienteRefresco = kEsperaMs;
    int m_leidos = 0;
    int m_total = 0;
    bool m_cancelado = false;
};

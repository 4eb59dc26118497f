#!/usr/bin/env python3
"""Prints the rows of a demo host database as an isql script: three companies in
one company group, their customers and a year of sales documents of every kind
and state up to today. The numbers come from a fixed seed, so every run on the
same day builds the same database.

    demo-data.py [--clientes N]            the host's rows (default 2 400 customers)
    demo-data.py [--clientes N] --riesgos  run once the module is installed: the
                                           series' risk groups, the customers' granted
                                           risk per group and credit-insurer codes

Two customers are fixed for the risk check: 00001 is well over his limit in
group 1 with order 1 (series A1), and 00002 well within it with order 2."""
import argparse
import datetime
import random

parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
parser.add_argument("--clientes", type=int, default=2400, help="number of customers (at least 2)")
parser.add_argument("--riesgos", action="store_true", help="print the statements to run after the installation")
args = parser.parse_args()
CLIENTES = max(args.clientes, 2)

rng = random.Random(20261210)
out = []
emit = out.append
today = datetime.date.today()


def q(s):
    return "'" + s.replace("'", "''") + "'"


def amount(lo, hi):
    return round(rng.uniform(lo, hi), 2)


def day_in_last_year():
    return today - datetime.timedelta(days=rng.randint(0, 364))


companies = [(1, 'Distribuciones Peñalara S.L.'), (2, 'Comercial Ibérica S.A.'), (3, 'Suministros Añón')]
# Series per company: (code, name, risk group). C3 invoices are private and never declared.
SERIES = {1: (('A', 'General', 1), ('B', 'Exportacion', 2), ('C', 'Obras', 3)),
          2: (('A', 'General', 1), ('B', 'Exportacion', 2), ('C', 'Obras', 4)),
          3: (('A', 'General', 1), ('B', 'Exportacion', 3), ('C', 'Obras', 5))}
series = []  # (id, company, code, group, private)
for cid, _ in companies:
    for code, name, group in SERIES[cid]:
        series.append((len(series) + 1, cid, code, name, group, cid == 3 and code == 'C'))

# Payment methods: (id, code, name, first due day, instalments, interval). Their risk
# days, as the installation works them out, fall in every term bucket: 0, 30, 60, 90, 120, 90.
payment = [
    (1, 'CON', 'Contado', 0, 1, 0), (2, 'R30', 'Recibo 30 dias', 30, 1, 30),
    (3, 'R60', 'Recibo 30/60', 30, 2, 30), (4, 'R90', 'Recibo 30/60/90', 30, 3, 30),
    (5, 'G120', 'Giro 120 dias', 120, 1, 0), (6, 'T0', 'Transferencia 3 plazos', 0, 3, 30),
]

first = ['Juan', 'María', 'José', 'Carmen', 'Antonio', 'Núria', 'Íñigo', 'Begoña', 'Ramón', 'Lucía', 'Pilar', 'Andrés']
last = ['García', 'Muñoz', 'Fernández', 'López', 'Martínez', 'Sánchez', 'Pérez', 'Gómez', 'Ibáñez', 'Castaño',
        'Ruiz', 'Díaz']
ids = {'PRES': 1, 'PED': 1, 'LPED': 1, 'ALB': 1, 'FAC': 1, 'GIRO': 1, 'DOC': 1, 'MOV': 1}


def nid(k):
    v = ids[k]
    ids[k] += 1
    return v


def header():
    emit("INSERT INTO MONEDAS VALUES (1, 'EUR', 'Euro', 2, 'EUR');")
    emit("INSERT INTO MONEDAS VALUES (2, 'USD', 'Dolar', 2, 'USD');")
    emit("INSERT INTO CAMBIODIVISAS VALUES (1, 1, 1, 1, 1);")
    emit("INSERT INTO CAMBIODIVISAS VALUES (2, 2, 1, 0.92, 0.92);")
    emit("INSERT INTO GRUPOSEMPRESAS VALUES (1, 'G1', 'Grupo Demostracion', 1);")
    for cid, name in companies:
        emit(f"INSERT INTO EMPRESAS (IDEMPRESAS, CODIGO, NOMBRE, MONEDABASE, GRUPOEMPRESAS) "
             f"VALUES ({cid}, {q('E%03d' % cid)}, {q(name)}, 1, 1);")
    emit("INSERT INTO CARTERAS VALUES (1, 'C1', 'Cartera general');")
    emit("INSERT INTO AGENTESVENTA VALUES (1, 'A1', 'Agente Norte');")
    emit("INSERT INTO AGENTESVENTA VALUES (2, 'A2', 'Agente Sur');")
    for pid, code, name, d, n, i in payment:
        emit(f"INSERT INTO FORMASPAGO VALUES ({pid}, {q(code)}, {q(name)}, 1, {d}, {n}, {i}, {1 if code == 'CON' else 0});")
    for sid, cid, code, name, _, private in series:
        emit(f"INSERT INTO SERIESDOCUMENTOS VALUES ({sid}, {q(code + str(cid))}, {q(name)}, {cid});")
        emit(f"INSERT INTO SERIESFACTURAS VALUES ({sid}, {q(code + str(cid))}, {q('Facturas ' + name)}, {cid}, "
             f"{1 if private else 0});")


def customer(c, name, formapago, riesgo):
    emit("INSERT INTO CLIENTES (IDCLIENTES, CODIGO, NOMBRE, GRUPOEMPRESAS, FORMAPAGO, RIESGOCONCEDIDO, "
         "CODIGOCREDITOCAUCION, NIF, CARTERA, RAZONSOCIAL, DIRECCION, LOCALIDAD, PROVINCIA, TELEFONO1, AGENTEVENTA) "
         f"VALUES ({c}, {q('%05d' % c)}, {q(name)}, 1, {formapago}, {riesgo:.2f}, {q('CC%06d' % c)}, "
         f"{q('B%08d' % (c * 7919 % 100000000))}, 1, {q(name + ' S.L.')}, {q('Calle Mayor %d' % c)}, 'Madrid', 'Madrid', "
         f"{q('91%07d' % c)}, {1 + c % 2});")


def documents(c):
    """A year of one customer's documents; returns the amount still open per risk group."""
    open_by_group = {g: 0.0 for g in range(1, 6)}
    for _ in range(rng.randint(0, 2)):
        s = rng.choice(series)
        emit(f"INSERT INTO PRESUPUESTOSVENTA VALUES ({nid('PRES')}, {ids['PRES']}, {c}, {s[0]}, "
             f"{q(rng.choice(['P', 'A']))}, {amount(100, 9000):.2f});")
    for _ in range(rng.randint(0, 2)):
        s = rng.choice(series)
        ped = nid('PED')
        estado = rng.choice(['P', 'R', 'S'])
        importe = amount(100, 12000)
        emit(f"INSERT INTO PEDIDOSVENTA VALUES ({ped}, {ped}, {c}, {s[0]}, {q(estado)}, {importe:.2f});")
        if estado != 'S':
            open_by_group[s[4]] += importe
        pedidas = rng.randint(1, 50)
        servidas = pedidas if estado == 'S' else rng.randint(0, pedidas)
        emit(f"INSERT INTO LINEASPEDIDOVENTA VALUES ({nid('LPED')}, {ped}, {pedidas}, {servidas}, {amount(1, 300):.2f});")
        if rng.random() < 0.2:
            emit(f"INSERT INTO MOVIMIENTOSCOBRO (IDMOVIMIENTOSCOBRO, CLIENTEORIGEN, IMPORTEMOVIMIENTO, PEDIDOORIGEN, ESTADO) "
                 f"VALUES ({nid('MOV')}, {c}, {amount(50, 1500):.2f}, {ped}, 'A');")
    for _ in range(rng.randint(0, 2)):
        s = rng.choice(series)
        alb = nid('ALB')
        importe = amount(100, 8000)
        open_by_group[s[4]] += importe
        emit(f"INSERT INTO ALBARANESVENTA VALUES ({alb}, {alb}, {c}, {s[0]}, NULL, {importe:.2f});")
    # About one invoice every two months; the older ones mostly collected.
    for _ in range(rng.randint(3, 8)):
        fac = nid('FAC')
        s = rng.choice(series)
        total = amount(200, 15000)
        fecha = day_in_last_year()
        emit(f"INSERT INTO FACTURASVENTA VALUES ({fac}, {fac}, {c}, {s[0]}, '{fecha.isoformat()}', {total:.2f});")
        recent = (today - fecha).days < 120
        kind = rng.choice(['giro', 'doc', 'remesa', 'devuelto']) if recent else rng.choice(['cobrado', 'cobrado', 'doc'])
        if kind != 'cobrado':
            open_by_group[s[4]] += total
        if kind == 'giro':
            emit(f"INSERT INTO LINEASGIROSFACTURAVENTA VALUES ({nid('GIRO')}, {fac}, {total:.2f}, NULL, 'P');")
            continue
        doc = nid('DOC')
        if kind == 'devuelto':
            mov = nid('MOV')
            emit(f"INSERT INTO MOVIMIENTOSCOBRO (IDMOVIMIENTOSCOBRO, CLIENTEORIGEN, IMPORTEMOVIMIENTO, ESTADO) "
                 f"VALUES ({mov}, {c}, {total:.2f}, 'D');")
            emit(f"INSERT INTO DOCUMENTOSCOBRO VALUES ({doc}, {c}, {total:.2f}, {mov}, NULL, 'P', {s[0]});")
        elif kind == 'remesa':
            emit(f"INSERT INTO DOCUMENTOSCOBRO VALUES ({doc}, {c}, {total:.2f}, NULL, {rng.randint(1, 20)}, "
                 f"{q(rng.choice(['F', 'P']))}, {s[0]});")
        else:
            emit(f"INSERT INTO DOCUMENTOSCOBRO VALUES ({doc}, {c}, {total:.2f}, NULL, NULL, "
                 f"{q('X' if kind == 'cobrado' else 'P')}, {s[0]});")
        emit(f"INSERT INTO LINEASGIROSFACTURAVENTA VALUES ({nid('GIRO')}, {fac}, {total:.2f}, {doc}, 'X');")
    if rng.random() < 0.15:
        emit(f"INSERT INTO MOVIMIENTOSCOBRO (IDMOVIMIENTOSCOBRO, CLIENTEORIGEN, IMPORTEMOVIMIENTO, ESTADO) "
             f"VALUES ({nid('MOV')}, {c}, {amount(50, 900):.2f}, 'A');")
    return open_by_group


def limits(open_by_group):
    """Granted risk per group: most customers have one in group 1, fewer in the others;
    the limit is drawn around what the customer has open, so some are over it and most not."""
    share = {1: 0.9, 2: 0.5, 3: 0.35, 4: 0.2, 5: 0.15}
    out = {}
    for g in range(1, 6):
        if rng.random() >= share[g]:
            out[g] = 0.0
            continue
        base = max(open_by_group[g], 2000.0)
        out[g] = round(base * rng.uniform(0.6, 2.5) / 100) * 100.0
    return out


header()
# 00001: over his limit in group 1; 00002: well within. Orders 1 and 2 are theirs, in series A1 (group 1).
customer(1, 'Construcciones Excedidas S.A.', 2, 3000)
emit(f"INSERT INTO PEDIDOSVENTA VALUES ({nid('PED')}, 1, 1, 1, 'P', 1500.00);")
emit(f"INSERT INTO ALBARANESVENTA VALUES ({nid('ALB')}, 1, 1, 1, NULL, 8000.00);")
customer(2, 'Ferreteria Holgada S.L.', 2, 50000)
emit(f"INSERT INTO PEDIDOSVENTA VALUES ({nid('PED')}, 2, 2, 1, 'P', 500.00);")
granted = {1: {1: 3000.0, 2: 0.0, 3: 0.0, 4: 0.0, 5: 0.0}, 2: {1: 50000.0, 2: 0.0, 3: 0.0, 4: 0.0, 5: 0.0}}

for c in range(3, CLIENTES + 1):
    name = f"{rng.choice(first)} {rng.choice(last)} {rng.choice(last)}"
    formapago = rng.randint(1, 6)
    # The host has no foreign keys: his row can follow his documents, whose amounts set his limits.
    granted[c] = limits(documents(c))
    customer(c, name, formapago, granted[c][1])
emit("COMMIT;")

if args.riesgos:
    # Only what needs the module's columns: the same draws as above, the rows themselves left out.
    out = []
    emit = out.append
    for sid, _, _, _, group, _ in series:
        emit(f"UPDATE SERIESDOCUMENTOS SET GRUPORIESGO = {group} WHERE IDSERIESDOCUMENTOS = {sid};")
        emit(f"UPDATE SERIESFACTURAS SET GRUPORIESGO = {group} WHERE IDSERIESFACTURAS = {sid};")
    for c, by_group in granted.items():
        sets = [f"RIESGOCONCEDIDO{g} = {v:.2f}, CODIGOCREDITOCAUCION{g} = {q('CC%d%05d' % (g, c))}"
                for g, v in by_group.items() if g > 1 and v]
        if sets:
            emit(f"UPDATE CLIENTES SET {', '.join(sets)} WHERE IDCLIENTES = {c};")
    emit("COMMIT;")

print("\n".join(out))

#!/usr/bin/env python3
"""Prints the rows of a demo host database as an isql script: a few companies in
one company group, about 200 customers and sales documents of every kind and state.
The numbers come from a fixed seed, so every run builds the same database."""
import random

rng = random.Random(20261210)
out = []
emit = out.append


def q(s):
    return "'" + s.replace("'", "''") + "'"


def amount(lo, hi):
    return f"{rng.uniform(lo, hi):.2f}"


emit("INSERT INTO MONEDAS VALUES (1, 'EUR', 'Euro', 2, 'EUR');")
emit("INSERT INTO MONEDAS VALUES (2, 'USD', 'Dolar', 2, 'USD');")
emit("INSERT INTO CAMBIODIVISAS VALUES (1, 1, 1, 1, 1);")
emit("INSERT INTO CAMBIODIVISAS VALUES (2, 2, 1, 0.92, 0.92);")
emit("INSERT INTO GRUPOSEMPRESAS VALUES (1, 'G1', 'Grupo Demostracion', 1);")
companies = [(1, 'Distribuciones Peñalara S.L.'), (2, 'Comercial Ibérica S.A.'), (3, 'Suministros Añón')]
for cid, name in companies:
    emit(f"INSERT INTO EMPRESAS (IDEMPRESAS, CODIGO, NOMBRE, MONEDABASE, GRUPOEMPRESAS) VALUES ({cid}, {q('E%03d' % cid)}, {q(name)}, 1, 1);")
emit("INSERT INTO CARTERAS VALUES (1, 'C1', 'Cartera general');")
emit("INSERT INTO AGENTESVENTA VALUES (1, 'A1', 'Agente Norte');")
emit("INSERT INTO AGENTESVENTA VALUES (2, 'A2', 'Agente Sur');")

payment = [
    (1, 'CON', 'Contado', 0, 1, 0), (2, 'R30', 'Recibo 30 dias', 30, 1, 30),
    (3, 'R60', 'Recibo 30/60', 30, 2, 30), (4, 'R90', 'Recibo 30/60/90', 30, 3, 30),
    (5, 'G120', 'Giro 120 dias', 120, 1, 0), (6, 'T0', 'Transferencia 3 plazos', 0, 3, 30),
]
for pid, code, name, d, n, i in payment:
    emit(f"INSERT INTO FORMASPAGO VALUES ({pid}, {q(code)}, {q(name)}, 1, {d}, {n}, {i}, {1 if code == 'CON' else 0});")

series_doc, series_fac = [], []
sid = 1
for cid, _ in companies:
    for code, name in (('A', 'General'), ('B', 'Exportacion'), ('C', 'Obras')):
        emit(f"INSERT INTO SERIESDOCUMENTOS VALUES ({sid}, {q(code + str(cid))}, {q(name)}, {cid});")
        emit(f"INSERT INTO SERIESFACTURAS VALUES ({sid}, {q(code + str(cid))}, {q('Facturas ' + name)}, {cid}, {1 if code == 'C' else 0});")
        series_doc.append(sid)
        series_fac.append(sid)
        sid += 1

first = ['Juan', 'María', 'José', 'Carmen', 'Antonio', 'Núria', 'Íñigo', 'Begoña', 'Ramón', 'Lucía']
last = ['García', 'Muñoz', 'Fernández', 'López', 'Martínez', 'Sánchez', 'Pérez', 'Gómez', 'Ibáñez', 'Castaño']
ids = {'PRES': 1, 'PED': 1, 'LPED': 1, 'ALB': 1, 'FAC': 1, 'GIRO': 1, 'DOC': 1, 'MOV': 1}


def nid(k):
    v = ids[k]
    ids[k] += 1
    return v


for c in range(1, 201):
    name = f"{rng.choice(first)} {rng.choice(last)} {rng.choice(last)}"
    riesgo = amount(1000, 60000) if c % 7 else "0"
    emit("INSERT INTO CLIENTES (IDCLIENTES, CODIGO, NOMBRE, GRUPOEMPRESAS, FORMAPAGO, RIESGOCONCEDIDO, "
         "CODIGOCREDITOCAUCION, NIF, CARTERA, RAZONSOCIAL, DIRECCION, LOCALIDAD, PROVINCIA, TELEFONO1, AGENTEVENTA) "
         f"VALUES ({c}, {q('%05d' % c)}, {q(name)}, 1, {rng.randint(1, 6)}, {riesgo}, {q('CC%06d' % c)}, "
         f"{q('B%08d' % (c * 7919 % 100000000))}, 1, {q(name + ' S.L.')}, {q('Calle Mayor %d' % c)}, 'Madrid', 'Madrid', "
         f"{q('91%07d' % c)}, {rng.randint(1, 2)});")
    for _ in range(rng.randint(0, 3)):
        emit(f"INSERT INTO PRESUPUESTOSVENTA VALUES ({nid('PRES')}, {ids['PRES']}, {c}, {rng.choice(series_doc)}, "
             f"{q(rng.choice(['P', 'A']))}, {amount(100, 9000)});")
    for _ in range(rng.randint(0, 3)):
        ped = nid('PED')
        estado = rng.choice(['P', 'R', 'S'])
        emit(f"INSERT INTO PEDIDOSVENTA VALUES ({ped}, {ped}, {c}, {rng.choice(series_doc)}, {q(estado)}, {amount(100, 12000)});")
        for _ in range(rng.randint(1, 3)):
            pedidas = rng.randint(1, 50)
            servidas = pedidas if estado == 'S' else rng.randint(0, pedidas)
            emit(f"INSERT INTO LINEASPEDIDOVENTA VALUES ({nid('LPED')}, {ped}, {pedidas}, {servidas}, {amount(1, 300)});")
        if rng.random() < 0.2:
            emit(f"INSERT INTO MOVIMIENTOSCOBRO (IDMOVIMIENTOSCOBRO, CLIENTEORIGEN, IMPORTEMOVIMIENTO, PEDIDOORIGEN, ESTADO) "
                 f"VALUES ({nid('MOV')}, {c}, {amount(50, 1500)}, {ped}, 'A');")
    for _ in range(rng.randint(0, 2)):
        alb = nid('ALB')
        emit(f"INSERT INTO ALBARANESVENTA VALUES ({alb}, {alb}, {c}, {rng.choice(series_doc)}, NULL, {amount(100, 8000)});")
    for m in range(rng.randint(0, 4)):
        fac = nid('FAC')
        serie = rng.choice(series_fac)
        total = float(amount(200, 15000))
        month = rng.randint(1, 12)
        emit(f"INSERT INTO FACTURASVENTA VALUES ({fac}, {fac}, {c}, {serie}, '2026-{month:02d}-{rng.randint(1, 28):02d}', {total:.2f});")
        kind = rng.choice(['giro', 'doc', 'remesa', 'devuelto', 'cobrado'])
        if kind == 'giro':
            emit(f"INSERT INTO LINEASGIROSFACTURAVENTA VALUES ({nid('GIRO')}, {fac}, {total:.2f}, NULL, 'P');")
            continue
        doc = nid('DOC')
        if kind == 'devuelto':
            mov = nid('MOV')
            emit(f"INSERT INTO MOVIMIENTOSCOBRO (IDMOVIMIENTOSCOBRO, CLIENTEORIGEN, IMPORTEMOVIMIENTO, ESTADO) VALUES ({mov}, {c}, {total:.2f}, 'D');")
            emit(f"INSERT INTO DOCUMENTOSCOBRO VALUES ({doc}, {c}, {total:.2f}, {mov}, NULL, 'P', {serie});")
        elif kind == 'remesa':
            emit(f"INSERT INTO DOCUMENTOSCOBRO VALUES ({doc}, {c}, {total:.2f}, NULL, {rng.randint(1, 20)}, {q(rng.choice(['F', 'P']))}, {serie});")
        else:
            emit(f"INSERT INTO DOCUMENTOSCOBRO VALUES ({doc}, {c}, {total:.2f}, NULL, NULL, {q('X' if kind == 'cobrado' else 'P')}, {serie});")
        emit(f"INSERT INTO LINEASGIROSFACTURAVENTA VALUES ({nid('GIRO')}, {fac}, {total:.2f}, {doc}, 'X');")
    if rng.random() < 0.15:
        emit(f"INSERT INTO MOVIMIENTOSCOBRO (IDMOVIMIENTOSCOBRO, CLIENTEORIGEN, IMPORTEMOVIMIENTO, ESTADO) VALUES ({nid('MOV')}, {c}, {amount(50, 900)}, 'A');")

emit("COMMIT;")
print("\n".join(out))

#!/usr/bin/env python3
"""Writes club.layout: a club-size layout in the named layout form.

A double-track main line (two concentric ovals joined by six crossovers),
a through station of three tracks on each oval, a fan of seven yard sidings
in the infield, a goods siding pair at the left end and a single-track
branch to a terminus with a run-around loop. Run it again after changing
the plan; the output is the same for the same plan.
"""
import math
import sys

CX, CY = 2400, 1400          # centre of the ovals
HALF = 1100                  # half the length of the straight sides
OUTER, INNER = 900, 740      # radii of the curved ends


class Layout:
    def __init__(self):
        self.nodes = {}          # name -> node
        self.order = []
        self.contact = 0
        self.switch_number = 0

    def node(self, kind, name, x, y, **extra):
        assert name not in self.nodes, name
        node = {"kind": kind, "x": round(x), "y": round(y), "edges": {}, **extra}
        self.nodes[name] = node
        self.order.append(name)
        return name

    def sensor(self, name, x, y):
        self.contact += 1
        return self.node("sensor", name, x, y, contact=self.contact - 1)

    def switch(self, name, x, y):
        self.switch_number += 1
        return self.node("switch", name, x, y, number=self.switch_number)

    def stop(self, name, x, y):
        return self.node("stop", name, x, y)

    def link(self, a, a_kw, b, b_kw, curve=1.0):
        na, nb = self.nodes[a], self.nodes[b]
        assert a_kw not in na["edges"] and b_kw not in nb["edges"], (a, a_kw, b, b_kw)
        length = max(1, round(math.hypot(na["x"] - nb["x"], na["y"] - nb["y"]) * curve))
        na["edges"][a_kw] = (b, length)
        nb["edges"][b_kw] = (a, length)

    def chain(self, start, start_kw, names_points, end, end_kw):
        """Sensors from start to end, ahead pointing towards end."""
        previous, previous_kw = start, start_kw
        for name, (x, y) in names_points:
            self.sensor(name, x, y)
            self.link(previous, previous_kw, name, "behind")
            previous, previous_kw = name, "ahead"
        self.link(previous, previous_kw, end, end_kw)

    def write(self, out):
        out.write(HEADER)
        for name in self.order:
            n = self.nodes[name]
            head = f"{n['kind']} {name} at {n['x']} {n['y']}"
            if n["kind"] == "sensor":
                head += f" contact {n['contact']}"
            if n["kind"] == "switch":
                head += f" number {n['number']}"
            edges = "   ".join(f"{kw} {n['edges'][kw][0]} {n['edges'][kw][1]}"
                               for kw in EDGE_ORDER if kw in n["edges"])
            out.write(head + "\n")
            if edges:
                out.write("    " + edges + "\n")


EDGE_ORDER = ("ahead", "behind", "straight", "curved")

HEADER = """\
# A club-size layout, written by make-club.py: edit the plan there.
#
# A double-track main line: two concentric ovals joined by crossovers, a
# through station of three tracks on each oval, seven yard sidings in the
# infield, a goods siding pair at the left end and a single-track branch to
# a terminus with a run-around loop. Every sensor reports one contact, the
# same whichever way a train leaves it; switches are numbered 1 upwards.

"""


def stadium(radius, s):
    """A point at fraction s of the way round an oval, clockwise from the
    left end of the top straight."""
    straight = 2 * HALF
    arc = math.pi * radius
    total = 2 * straight + 2 * arc
    d = (s % 1.0) * total
    if d < straight:
        return CX - HALF + d, CY - radius
    d -= straight
    if d < arc:
        a = -math.pi / 2 + d / radius
        return CX + HALF + radius * math.cos(a), CY + radius * math.sin(a)
    d -= arc
    if d < straight:
        return CX + HALF - d, CY + radius
    d -= straight
    a = math.pi / 2 + d / radius
    return CX - HALF + radius * math.cos(a), CY + radius * math.sin(a)


def oval(lay, prefix, radius, sensors, fixtures):
    """An oval of evenly spaced sensors with fixtures (switches placed by the
    caller's function at fractions of the way round). fixtures: list of
    (fraction, name, facing) where facing 'back' puts the switch's common
    leg towards the previous element, 'fore' towards the next."""
    elements = [(i / sensors, f"{prefix}{i + 1}", None) for i in range(sensors)]
    elements += fixtures
    elements.sort(key=lambda e: e[0])
    names = []
    for fraction, name, facing in elements:
        x, y = stadium(radius, fraction)
        if facing is None:
            lay.sensor(name, x, y)
        else:
            lay.switch(name, x, y)
        names.append((name, facing))
    ports = {None: ("behind", "ahead"), "back": ("behind", "straight"),
             "fore": ("straight", "behind")}
    for k, (name, facing) in enumerate(names):
        following, following_facing = names[(k + 1) % len(names)]
        lay.link(name, ports[facing][1], following, ports[following_facing][0], 1.02)


def build():
    lay = Layout()
    f = 1.0 / 52  # a step round the outer oval
    # Crossovers: (fraction, facing on outer, facing on inner).
    crossovers = [(0.04, "back"), (0.18, "fore"), (0.52, "back"), (0.68, "fore"),
                  (0.75, "back"), (0.86, "fore")]
    outer_fixtures, inner_fixtures = [], []
    for k, (s, facing) in enumerate(crossovers):
        outer_fixtures.append((s + f / 2, f"XO{k + 1}", facing))
        # The inner switch sits a little further on, so the crossover runs
        # diagonally in the direction its switches face.
        inner_fixtures.append((s + (1.6 if facing == "back" else -0.6) * f, f"XI{k + 1}",
                               "fore" if facing == "back" else "back"))
    # The through stations on the bottom straights (outer at 0.60-0.64,
    # inner at 0.58-0.65): two switches each end.
    outer_fixtures += [(0.575, "SOa1", "back"), (0.582, "SOa2", "back"),
                       (0.625, "SOb2", "fore"), (0.632, "SOb1", "fore")]
    inner_fixtures += [(0.595, "SIa1", "back"), (0.602, "SIa2", "back"),
                       (0.632, "SIb2", "fore"), (0.639, "SIb1", "fore")]
    # The branch leaves the outer oval on the right end; the goods sidings
    # the outer oval on the left end; the yard the inner top straight.
    outer_fixtures += [(0.33, "BranchJn", "back"), (0.92, "GoodsJn", "back")]
    inner_fixtures += [(0.10, "YardJn", "back")]
    oval(lay, "Out", OUTER, 44, outer_fixtures)
    oval(lay, "In", INNER, 34, inner_fixtures)

    for k in range(len(crossovers)):
        lay.link(f"XO{k + 1}", "curved", f"XI{k + 1}", "curved", 1.05)

    # Station tracks: the station's curved legs lead to loops below the
    # outer oval's bottom straight (the outer side) and above the inner's.
    def station_track(a, b, side, prefix):
        ax, ay = lay.nodes[a]["x"], lay.nodes[a]["y"]
        bx, by = lay.nodes[b]["x"], lay.nodes[b]["y"]
        y = ay + side
        points = [(f"{prefix}{i + 1}", (ax + (bx - ax) * (i + 1) / 3, y)) for i in range(2)]
        lay.chain(a, "curved", points, b, "curved")

    station_track("SOa1", "SOb1", 120, "PlatO3-")
    station_track("SOa2", "SOb2", 60, "PlatO2-")
    station_track("SIa1", "SIb1", -120, "PlatI3-")
    station_track("SIa2", "SIb2", -60, "PlatI2-")

    # The yard: a lead from the inner oval, a ladder of six switches, seven
    # sidings ending at buffer stops.
    jx, jy = lay.nodes["YardJn"]["x"], lay.nodes["YardJn"]["y"]
    lay.sensor("YardLead", jx + 150, jy + 120)
    lay.link("YardJn", "curved", "YardLead", "behind")
    previous, previous_kw = "YardLead", "ahead"
    for k in range(6):
        name = lay.switch(f"Ladder{k + 1}", jx + 300 + 120 * k, jy + 180 + 60 * k)
        lay.link(previous, previous_kw, name, "behind")
        siding = f"Yard{k + 1}"
        lay.chain(name, "curved", [(siding, (jx + 700 + 120 * k, jy + 180 + 60 * k))],
                  lay.stop(f"Yard{k + 1}End", jx + 1400, jy + 180 + 60 * k), "ahead")
        previous, previous_kw = name, "straight"
    lay.chain(previous, previous_kw, [("Yard7", (jx + 1100, jy + 600))],
              lay.stop("Yard7End", jx + 1400, jy + 600), "ahead")

    # Goods sidings: a switch off the junction's curve and two dead ends.
    gx, gy = lay.nodes["GoodsJn"]["x"], lay.nodes["GoodsJn"]["y"]
    lay.sensor("GoodsLead", gx - 150, gy - 100)
    lay.link("GoodsJn", "curved", "GoodsLead", "behind")
    goods = lay.switch("GoodsFan", gx - 250, gy - 200)
    lay.link("GoodsLead", "ahead", goods, "behind")
    lay.chain(goods, "straight", [("Goods1", (gx - 350, gy - 350))],
              lay.stop("Goods1End", gx - 420, gy - 480), "ahead")
    lay.chain(goods, "curved", [("Goods2", (gx - 450, gy - 250))],
              lay.stop("Goods2End", gx - 600, gy - 300), "ahead")

    # The branch: out from the right end, up and round to a terminus with a
    # run-around loop.
    bx, by = lay.nodes["BranchJn"]["x"], lay.nodes["BranchJn"]["y"]
    route = [(f"Branch{k + 1}", (bx + 120 + 40 * k, by - 150 - 110 * k)) for k in range(14)]
    tx, ty = route[-1][1]
    lay.switch("RunAroundA", tx + 80, ty - 120)
    lay.chain("BranchJn", "curved", route, "RunAroundA", "behind")
    lay.switch("RunAroundB", tx + 80, ty - 620)
    lay.chain("RunAroundA", "straight", [("Terminus1", (tx + 80, ty - 300)),
                                         ("Terminus2", (tx + 80, ty - 450))],
              "RunAroundB", "straight")
    lay.chain("RunAroundA", "curved", [("RunAround", (tx + 180, ty - 370))],
              "RunAroundB", "curved")
    lay.chain("RunAroundB", "behind", [("Headshunt", (tx + 80, ty - 720))],
              lay.stop("HeadshuntEnd", tx + 80, ty - 800), "ahead")
    return lay


if __name__ == "__main__":
    build().write(sys.stdout)

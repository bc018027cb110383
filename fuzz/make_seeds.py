#!/usr/bin/env python3
"""Writes the hand-made seed inputs of the fuzz corpora (fuzz/corpus/<target>/seed-*).

Usage: fuzz/make_seeds.py   (from anywhere; overwrites only the seed-* files)
The settings files cover every section kind at old, folded and PMU-capable versions; the store texts
cover each value form, continuations, comments and CR LF line ends.
"""
import pathlib

ROOT = pathlib.Path(__file__).resolve().parent


def crc16_arc(data: bytes) -> int:
    crc = 0
    for b in data:
        crc ^= b
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    return crc


def settings_file(body: str) -> bytes:
    text = b"".join(line.encode("latin-1") + b"\r\n" for line in body.split("\n"))
    return b"%04x\r\n\r\n" % crc16_arc(b"\n\r\n" + text) + text


def id_section(version: int, banks: int) -> str:
    s = (f"[ID]\nLOAD_DATE=86400\nSET_DATE=04 Jan 15 13:45:10\nSETTINGS_VERS={version}\nSERIAL_NUM=7\n"
         f"COMMENTS=Seed\nNUM_BANKS={banks}\nSYSTEM_FREQUENCY=60\n")
    if version >= 201:
        s += "NUM_A_CHANNELS=18\nSAMPLE_RATE=96\n"
    return s + "\n"


def group(g: int, version: int) -> str:
    v = "AC:69V:2x" if version < 5 else "815201"
    i = "AC:5A:20x" if version < 5 else "815204"
    return (f"[CH_GRP{g}-1]\nREF_ANA=0\n\n[ELEMENT{g}-1]\nNAME=Line\n\n"
            f"[ANALOG_INPUT{g}-1]\nELEMENT=Line\nTYPE=Va\nINPUT_MODULE={v}\nPRI_1=69\nSEC_1=69\nPRI_2=-69\n"
            f"SEC_2=-69\nPRI_UNIT=kV\nSEC_UNIT=V\nFULL_SCALE=100\n\n"
            f"[ANALOG_INPUT{g}-2]\nELEMENT=Line\nTYPE=Ia\nINPUT_MODULE={i}\nPRI_1=600\nSEC_1=5\nPRI_2=-600\n"
            f"SEC_2=-5\nPRI_UNIT=A\nSEC_UNIT=A\nFULL_SCALE=100\n\n"
            f"[SUMMATION{g}-1]\nELEMENT=Line\nTYPE=VaSum\nINPUT1_INDEX=0\n\n"
            f"[SEQUENCE{g}-2]\nELEMENT=Line\nTYPE=Vseq\nPH_A_INDEX=0\nPH_B_INDEX=1\nPH_C_INDEX=2\n\n"
            f"[WATTS/VARS{g}-1]\nELEMENT=Line\nV_INDEX=0\nI_INDEX=1\nROC_INT=5\n\n"
            f"[FREQUENCY{g}-1]\nIN_INDEX=0\n\n[LOGIC{g}-1]\nELEMENT=Line\nINPUT1=3\n\n"
            f"[PFDET{g}-1]\nELEMENT=Line\nINPUT=0\n\n[DIGITAL_INPUT{g}-3]\nELEMENT=Line\nDESC=Breaker\n\n"
            f"[IMPEDANCE{g}-1]\nELEMENT=Line\n\n"
            f"[FAULT_LOCATOR{g}-1]\nELEMENT=Line\nTRIG_INDEX=2\nVA_INDEX=0\nIC_INDEX=1\n\n")


RECORDER = ("[METERING_GROUP1]\nNAME=Main\nINDEX1=0\n\n[METERING_GROUP2]\nNAME=Aux\nINDEX1=1\n\n"
            "[EXTENDED_TREND1]\nIX1=0\nOP01=2\nIX2=1\nOP02=0\n\n[LIMITS]\nREC_ALARM=3\n\n")
PMU = ("[PMU]\nHEADER=Station A\nREPORTING_RATE=30\n\n[CDR]\nREPORTING_RATE=12\n\n"
       "[PHASOR1-5]\nNAME=Bus V\nINP_INDEX=2\nINP_TYPE=3\nUNITS=1\nSCALE=2.5\nPDC_SCALE=7\n\n"
       "[CDR_CHAN1-3]\nINP_INDEX=4\n\n")


def cfg(version: int, banks: int, extra: str = "") -> str:
    body = id_section(version, banks)
    for g in range(1, banks + 1):
        body += group(g, version)
    return body + RECORDER + extra + "[END]"


CFG_SEEDS = {
    "v4-one-board": cfg(4, 1),
    "v7-two-boards": cfg(7, 2),
    "v201-folded": cfg(201, 1),
    "v204-pmu": cfg(204, 1, PMU),
}

KEY = "[HKEY_CURRENT_USER\\SOFTWARE\\DQF\\HELVO Voduvez Eroza]"
STORE_SEEDS = {
    "values": "REGEDIT4\r\n\r\n" + KEY + "\r\n\"SettingVersionLimit\"=dword:000000d2\r\n"
              "\"ActiveIED\"=\"Substation \\\"4\\\" \\\\ east\"\r\n\"DCUnits\"=hex(7):6d,b3,2f,73,00,00\r\n"
              "@=hex:01,02\r\n",
    "continued": "REGEDIT4\n\n; comment\n" + KEY + "\n\"DCUnits\"=hex(7):6d,56,00,41,00,6b,\\\n  57,00,\\\n"
                 "  00\n[-HKEY_CURRENT_USER\\SOFTWARE\\Other]\n" + KEY[:-1] + "\\IEDs\\One]\n\"x\"=-\n",
}


def main() -> None:
    for target in ("image_reader", "save_round_trip", "crc"):
        folder = ROOT / "corpus" / target
        folder.mkdir(parents=True, exist_ok=True)
        for name, body in CFG_SEEDS.items():
            (folder / f"seed-{name}.cfg").write_bytes(settings_file(body))
    folder = ROOT / "corpus" / "line_reader"
    folder.mkdir(parents=True, exist_ok=True)
    for name, body in CFG_SEEDS.items():
        (folder / f"seed-{name}.txt").write_bytes(body.encode("latin-1") + b"\n")
    folder = ROOT / "corpus" / "settings_store"
    folder.mkdir(parents=True, exist_ok=True)
    for name, text in STORE_SEEDS.items():
        (folder / f"seed-{name}.reg").write_bytes(text.encode("latin-1"))


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""echo_responder.py DELAY: answers ICMP echo requests from a raw socket after DELAY
seconds (the namespace's own answers are turned off), so a path has a round trip."""
import heapq, select, socket, struct, sys, time


def checksum(data):
    data += b"\0" * (len(data) % 2)
    total = sum(struct.unpack("!%dH" % (len(data) // 2), data))
    total = (total >> 16) + (total & 0xFFFF)
    return ~(total + (total >> 16)) & 0xFFFF


delay = float(sys.argv[1])
sock = socket.socket(socket.AF_INET, socket.SOCK_RAW, socket.IPPROTO_ICMP)
# Big replies leave in fragments rather than being refused by the local MTU.
sock.setsockopt(socket.IPPROTO_IP, 10, 0)  # IP_MTU_DISCOVER = IP_PMTUDISC_DONT
waiting = []  # (due, reply, address)
while True:
    timeout = max(0.0, waiting[0][0] - time.monotonic()) if waiting else None
    if select.select([sock], [], [], timeout)[0]:
        packet, (source, _) = sock.recvfrom(65535)
        icmp = packet[(packet[0] & 0x0F) * 4:]
        if len(icmp) >= 8 and icmp[0] == 8:
            body = b"\0\0\0\0" + icmp[4:]
            reply = struct.pack("!BBH", 0, 0, checksum(body)) + body[4:]
            heapq.heappush(waiting, (time.monotonic() + delay, reply, source))
    while waiting and waiting[0][0] <= time.monotonic():
        _, reply, source = heapq.heappop(waiting)
        sock.sendto(reply, (source, 0))

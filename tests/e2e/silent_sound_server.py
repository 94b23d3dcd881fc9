#!/usr/bin/env python3
"""A sound server that never answers: it accepts every connection on the Unix socket named on
the command line and keeps it open without reading or writing a byte, until it is ended."""
import socket
import sys

server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
server.bind(sys.argv[1])
server.listen(16)
clients = []
while True:
    client, _ = server.accept()
    clients.append(client)

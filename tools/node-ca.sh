# Sourced before npm fetches anything. Node trusts only the CA list it was built with; the system's
# store also holds the authorities the machine's owner added (a network's own, say).
if [ -z "${NODE_EXTRA_CA_CERTS:-}" ] && [ -f /etc/ssl/certs/ca-certificates.crt ]; then
  export NODE_EXTRA_CA_CERTS=/etc/ssl/certs/ca-certificates.crt
fi

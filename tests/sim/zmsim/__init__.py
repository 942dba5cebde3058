"""The class service simulator: one loopback HTTP server that plays every outside service in tests."""

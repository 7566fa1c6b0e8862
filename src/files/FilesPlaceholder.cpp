namespace fenra {}

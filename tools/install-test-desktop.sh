#!/usr/bin/env bash
# Nothing to register yet.

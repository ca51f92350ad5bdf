#!/bin/sh
# Stands for the installed product that RunIfInstalled starts.
echo "the installed product was started"

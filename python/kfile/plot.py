"""Plots of a take."""
